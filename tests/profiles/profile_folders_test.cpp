#include "profiles/profile_folders.h"

#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::ScopedEnvironment;
using test::TempFolderTest;

class ProfileFoldersTest : public TempFolderTest {};

TEST_F(ProfileFoldersTest, FamilyFolderIsCreatedUnderTheUserDataFolderOnFirstUse) {
    const auto expected = Root() / "userdata" / "REROV ER60 EVER" / "MousePad";
    ASSERT_FALSE(std::filesystem::exists(expected));
    EXPECT_EQ(ProfileFolder("MousePad"), expected);
    EXPECT_TRUE(std::filesystem::is_directory(expected));
}

TEST_F(ProfileFoldersTest, FamilyNameMustBeAPlainName) {
    for (const char* family : {"", "..", "../outside", "a/b"}) {
        EXPECT_TRUE(ProfileFolder(family).empty()) << family;
        EXPECT_TRUE(DefaultProfilePath(family).empty()) << family;
    }
    EXPECT_FALSE(std::filesystem::exists(Root() / "userdata" / "outside"));
}

TEST_F(ProfileFoldersTest, LightConfigLiesInTheProfileFolder) {
    EXPECT_EQ(LightConfigPath(Root() / "kb"), Root() / "kb" / "zired_light.config");
    EXPECT_TRUE(LightConfigPath({}).empty());
}

TEST_F(ProfileFoldersTest, FamilyKinds) {
    const std::pair<const char*, int> cases[] = {{"keyboard", 1}, {"mouse", 2},    {"MousePad", 3},
                                                 {"HD", 7},       {"mousepad", 0}, {"", 0}};
    for (const auto& [family, kind] : cases) EXPECT_EQ(DeviceKindOfFamily(family), kind) << family;
}

TEST_F(ProfileFoldersTest, DefaultDataFolderCanBeOverridden) {
    const ScopedEnvironment factory("REROV_DEFAULT_DATA",
                                    QByteArray::fromStdString((Root() / "factory").string()));
    EXPECT_EQ(DefaultDataFolder(), Root() / "factory");
    EXPECT_EQ(DefaultProfilePath("HD"), Root() / "factory" / "HD.Json");
}

// Without an override and without an application object the folder beside the running
// program is used; the test program runs beside the copied factory data.
TEST_F(ProfileFoldersTest, DefaultDataFolderIsBesideTheProgram) {
    const ScopedEnvironment noOverride("REROV_DEFAULT_DATA");
    EXPECT_EQ(DefaultDataFolder(), ExecutableFolder() / "DefaultData");
    EXPECT_EQ(std::filesystem::weakly_canonical(DefaultDataFolder()),
              std::filesystem::weakly_canonical(REROV_RUNTIME_DEFAULT_DATA));
}

}  // namespace
}  // namespace rerov
