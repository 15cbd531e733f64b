// Deleting a macro renumbers the macro assignments of every profile of the device.

#include "editors/macro/macro_assignments.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "editors/assignment/code_tables.h"
#include "profiles/basic_profile_data.h"
#include "profiles/profile_store.h"

namespace rerov::editors {
namespace {

KeyAssignment A(std::uint16_t index, std::uint8_t type, std::uint8_t value, std::uint8_t code) {
    return {index, type, value, code, 0};
}

TEST(MacroAssignments, DeletedMacroFallsBackLaterOnesMoveDown) {
    std::vector<KeyEntry> keys{
        {A(0, kTypeMacro, 1, 2), A(0, kTypeKey, 0, 0x29)},        // the deleted macro
        {A(1, kTypeMacroRepeat, 2, 5), A(1, kTypeKey, 0, 0x3A)},  // a later one
        {A(2, kTypeMacro, 0, 0), A(2, kTypeKey, 0, 0x3B)},        // an earlier one
        {A(3, kTypeKey, 0, 0x04), A(3, kTypeKey, 0, 0x3C)},       // not a macro
    };
    ASSERT_TRUE(UsesMacro(keys, 1));
    ASSERT_TRUE(RenumberAfterMacroRemoval(&keys, 1));
    EXPECT_EQ(keys[0].current, keys[0].defaults);
    EXPECT_EQ(keys[1].current, A(1, kTypeMacroRepeat, 1, 5));
    EXPECT_EQ(keys[2].current, A(2, kTypeMacro, 0, 0));
    EXPECT_EQ(keys[3].current, A(3, kTypeKey, 0, 0x04));
    EXPECT_FALSE(UsesMacro(keys, 1) && keys[1].current.value != 1);
    EXPECT_FALSE(RenumberAfterMacroRemoval(&keys, 7));
}

TEST(MacroAssignments, EveryProfileOfTheDeviceIsRenumbered) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path root = dir.path().toStdString();
    const std::filesystem::path defaults = root / "keyboard.Json";
    {
        // A factory profile of three keys, each with its default.
        Json::Value document;
        for (int i = 0; i < 3; ++i) {
            Json::Value key;
            key["Assignment"] = 0x200029 + i;
            key["DefaultAssignment"] = 0x200029 + i;
            document["Device"][0]["KeyList"].append(key);
        }
        ASSERT_TRUE(JsonFileIO::WriteJsonFile(defaults, document));
    }
    FamilyProfiles family{1, root / "keyboard", defaults};
    std::filesystem::create_directories(family.folder);
    ProfileStore store(family.kind, family.folder, defaults);
    ASSERT_EQ(store.Build(), StoreResult::Ok);
    ASSERT_EQ(store.Add(), StoreResult::Ok);
    ASSERT_EQ(store.GetProfileCount(), 2);

    // Profile 0: key 0 runs macro 1, key 1 macro 2. Profile 1: key 2 runs macro 2.
    const auto assign = [&](int profile, std::vector<std::pair<int, KeyAssignment>> changes) {
        CBasicProfiledata data;
        data.SetDefaultPath(defaults);
        const std::filesystem::path path = store.GetProfileFilePath(profile);
        data.SetProfilePath(path);
        data.LoadProfile(path);
        std::vector<KeyEntry> keys = data.ReadKeyList();
        for (const auto& [key, assignment] : changes)
            keys[static_cast<std::size_t>(key)].current = assignment;
        data.WriteKeyList(keys);
        ASSERT_TRUE(data.Save());
    };
    assign(0, {{0, A(0, kTypeMacro, 1, 0)}, {1, A(1, kTypeMacro, 2, 0)}});
    assign(1, {{2, A(2, kTypeMacroRepeat, 2, 3)}});

    int failed = -1;
    EXPECT_EQ(RenumberProfilesAfterMacroRemoval(family, 1, &failed), 2);
    EXPECT_EQ(failed, 0);

    const auto keysOf = [&](int profile) {
        CBasicProfiledata data;
        data.SetDefaultPath(defaults);
        data.LoadProfile(store.GetProfileFilePath(profile));
        return data.ReadKeyList();
    };
    const std::vector<KeyEntry> first = keysOf(0);
    EXPECT_EQ(first[0].current.Packed(), 0x200029u) << "macro 1 gave way to the default";
    EXPECT_EQ(first[1].current.Packed(), 0x700100u) << "macro 2 became macro 1";
    const std::vector<KeyEntry> second = keysOf(1);
    EXPECT_EQ(second[2].current.Packed(), 0x710103u);
}

}  // namespace
}  // namespace rerov::editors
