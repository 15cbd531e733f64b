// "rerovctl macro" as a user runs it, on a private user data folder: the list operations,
// a refused import, and a delete that renumbers the keys of every keyboard profile.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <json/reader.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "profiles/basic_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace {

using ::testing::HasSubstr;

struct Result {
    int status;
    std::string out;
    std::string err;
};

class RerovctlMacroTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    Result Run(const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", dir_.path());
        env.remove("REROV_DEFAULT_DATA");
        process.setProcessEnvironment(env);
        process.start(REROVCTL_PATH, QStringList{"macro"} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }
    std::filesystem::path Root() const { return dir_.path().toStdString(); }
    std::filesystem::path Folder() const { return Root() / "REROV ER60 EVER" / "keyboard"; }
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = Root() / name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(RerovctlMacroTest, AddRenameImportShowAndExport) {
    EXPECT_EQ(Run({"keyboard", "add"}).out, "added 0\tmacro_1\n");
    EXPECT_EQ(Run({"keyboard", "rename", "0", "jump"}).status, 0);
    const std::filesystem::path source =
        Write("jump.mac", R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"30"},)"
                          R"({"Type":10,"Button":4,"Action":"up","Delay":"0"}]})");
    EXPECT_EQ(Run({"keyboard", "import", QString::fromStdString(source.string())}).out,
              "imported 1\tjump_1\n");
    const Result listed = Run({"keyboard", "list"});
    EXPECT_EQ(listed.out, "0\tjump\t0 steps\n1\tjump_1\t2 steps\n");
    const Result shown = Run({"keyboard", "show", "1"});
    EXPECT_EQ(shown.out,
              "0\tkey\tdown\t4\tkeyboard_key_A\t30 ms\n"
              "1\tkey\tup\t4\tkeyboard_key_A\t0 ms\n");
    const std::filesystem::path exported = Root() / "out.mac";
    ASSERT_EQ(Run({"keyboard", "export", "1", QString::fromStdString(exported.string())}).status,
              0);
    std::ifstream a(source, std::ios::binary), b(exported, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}),
              std::string(std::istreambuf_iterator<char>(b), {}));
}

TEST_F(RerovctlMacroTest, RefusalsAndUsageErrors) {
    const std::filesystem::path text = Write("notes.mac", "just some notes");
    const Result refused = Run({"keyboard", "import", QString::fromStdString(text.string())});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("not a macro file"));
    EXPECT_FALSE(std::filesystem::exists(Folder() / "macro.config"));
    EXPECT_EQ(Run({"keyboard", "rename", "0", "x"}).status, 1);
    EXPECT_EQ(Run({"keyboard", "delete", "x"}).status, 2);
    EXPECT_EQ(Run({"HD", "list"}).status, 2);
    EXPECT_EQ(Run({"keyboard", "fly"}).status, 2);
}

TEST_F(RerovctlMacroTest, DeleteRenumbersTheKeysOfEveryProfile) {
    ASSERT_EQ(Run({"keyboard", "add"}).status, 0);
    ASSERT_EQ(Run({"keyboard", "add"}).status, 0);
    ASSERT_EQ(Run({"keyboard", "add"}).status, 0);
    // Two profiles made from the shipped factory profile.
    const std::filesystem::path defaults = rerov::DefaultDataFolder() / "keyboard.Json";
    ASSERT_TRUE(std::filesystem::exists(defaults)) << defaults;
    rerov::ProfileStore store(1, Folder(), defaults);
    ASSERT_EQ(store.Build(), rerov::StoreResult::Ok);
    ASSERT_EQ(store.Add(), rerov::StoreResult::Ok);
    const auto edit = [&](int profile, int key, std::uint32_t packed) -> std::uint32_t {
        rerov::CBasicProfiledata data;
        data.SetDefaultPath(defaults);
        const auto path = store.GetProfileFilePath(profile);
        data.SetProfilePath(path);
        data.LoadProfile(path);
        auto keys = data.ReadKeyList();
        keys[static_cast<std::size_t>(key)].current = {
            static_cast<std::uint16_t>(key), static_cast<std::uint8_t>(packed >> 16),
            static_cast<std::uint8_t>(packed >> 8), static_cast<std::uint8_t>(packed), 0};
        data.WriteKeyList(keys);
        EXPECT_TRUE(data.Save());
        return keys[static_cast<std::size_t>(key)].defaults.Packed();
    };
    const std::uint32_t defaultOfKey3 = edit(0, 3, 0x700100);  // macro 1
    edit(0, 4, 0x700200);                                      // macro 2
    edit(1, 5, 0x710207);                                      // macro 2, repeated 7 times

    const Result deleted = Run({"keyboard", "delete", "1"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_THAT(deleted.out, HasSubstr("2 profile(s) renumbered"));
    const auto keysOf = [&](int profile) {
        rerov::CBasicProfiledata data;
        data.SetDefaultPath(defaults);
        data.LoadProfile(store.GetProfileFilePath(profile));
        return data.ReadKeyList();
    };
    EXPECT_EQ(keysOf(0)[3].current.Packed(), defaultOfKey3);
    EXPECT_EQ(keysOf(0)[4].current.Packed(), 0x700100u);
    EXPECT_EQ(keysOf(1)[5].current.Packed(), 0x710107u);
    EXPECT_EQ(Run({"keyboard", "list"}).out, "0\tmacro_1\t0 steps\n1\tmacro_3\t0 steps\n");
}

}  // namespace
