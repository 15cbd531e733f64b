// The calling order of a device page: build the store, load the selected profile, edit and
// save, switch to another profile and back. Runs on the shipped factory keyboard profile.
#include <optional>

#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"
#include "tests/profiles/test_support.h"

namespace rerov {
namespace {

using test::TempFolderTest;

class ProfileSwitchTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        factoryData_.emplace("REROV_DEFAULT_DATA", REROV_RUNTIME_DEFAULT_DATA);
        folder_ = ProfileFolder("keyboard");
        ASSERT_FALSE(folder_.empty());
        store_ = std::make_unique<ProfileStore>(1, folder_, DefaultProfilePath("keyboard"));
        ASSERT_EQ(store_->Build(), StoreResult::Ok);
    }

    // What a page does when the selected profile changes.
    void Open(CKeyboardProfiledata& data) {
        data.SetDeviceSlot(0);
        data.SetProfilePath(store_->CurrentProfilePath());
        data.SetDefaultPath(DefaultProfilePath("keyboard"));
        data.SetLightConfigPath(LightConfigPath(folder_));
        data.LoadProfile(store_->CurrentProfilePath());
    }

    std::optional<test::ScopedEnvironment> factoryData_;
    std::filesystem::path folder_;
    std::unique_ptr<ProfileStore> store_;
};

TEST_F(ProfileSwitchTest, EditsStayWithTheirProfileAcrossSwitches) {
    CKeyboardProfiledata data;
    Open(data);
    auto keys = data.ReadKeyList();
    ASSERT_EQ(keys.size(), 170u);
    const KeyAssignment factory = keys[10].current;
    keys[10].current = {10, 0x30, 0xE2, 0x00, 0};  // a media key on key 10
    data.WriteKeyList(keys);
    LightSetting light = data.ReadLightInfo();
    light.bytes[LightSetting::kMode] = 19;
    data.WriteLightInfo(light);
    ASSERT_TRUE(data.Save());

    ASSERT_EQ(store_->Add(), StoreResult::Ok);
    ASSERT_EQ(store_->Select(1), StoreResult::Ok);
    Open(data);
    EXPECT_EQ(data.ReadKeyList()[10].current, factory) << "the new profile starts from the factory";
    EXPECT_NE(data.ReadLightInfo().bytes[LightSetting::kMode], 19);

    ASSERT_EQ(store_->Select(0), StoreResult::Ok);
    Open(data);
    const auto back = data.ReadKeyList();
    EXPECT_EQ(back[10].current, (KeyAssignment{10, 0x30, 0xE2, 0x00, 0}));
    EXPECT_EQ(back[10].defaults, factory);
    EXPECT_EQ(data.ReadLightInfo().bytes[LightSetting::kMode], 19);

    const Json::Value file = JsonFileIO::ReadJsonFile(store_->CurrentProfilePath());
    EXPECT_EQ(file["profilename"].asString(), "Profile1");
    EXPECT_EQ(file["profileUUID"].asString(), store_->CurrentUUID());
}

TEST_F(ProfileSwitchTest, ResetBringsTheFactorySettingsBack) {
    CKeyboardProfiledata data;
    Open(data);
    data.WriteKeyboardSystem({{PackHalves(3, 3), PackHalves(1, 3), PackHalves(1, 1)}});
    ASSERT_TRUE(data.Save());
    ASSERT_EQ(store_->Reset(), StoreResult::Ok);
    Open(data);
    CKeyboardProfiledata factory;
    factory.SetDefaultPath(DefaultProfilePath("keyboard"));
    factory.LoadProfile(DefaultProfilePath("keyboard"));
    EXPECT_EQ(data.ReadKeyboardSystem(), factory.ReadKeyboardSystem());
}

}  // namespace
}  // namespace rerov
