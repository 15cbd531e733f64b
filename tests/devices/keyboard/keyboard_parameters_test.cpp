// The keyboard's parameter block: the codec both ways, and the device object writing it,
// reading it into its lighting and system settings and storing them in the profile.

#include <fstream>
#include <iterator>

#include "devices/keyboard/parameter_block.h"
#include "profiles/json_file_io.h"
#include "tests/devices/keyboard/keyboard_observed.h"

namespace rerov::test {
namespace {

using keyboard::DecodeParameterBlock;
using keyboard::EncodeParameterBlock;
using keyboard::ParameterBytes;

// Codes as "default_light.json" lists them: code = index.
std::vector<int32_t> IdentityCodes() {
    std::vector<int32_t> codes(40);
    for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<int32_t>(i);
    return codes;
}

LightSetting Light(int mode, int speed) {
    LightSetting light;
    light.bytes[LightSetting::kMode] = static_cast<uint8_t>(mode);
    light.bytes[LightSetting::kBrightness] = 3;
    light.bytes[LightSetting::kSpeed] = static_cast<uint8_t>(speed);
    light.bytes[LightSetting::kDirection] = 1;
    light.bytes[LightSetting::kMultiColor] = 1;
    light.bytes[LightSetting::kRed] = 0x11;
    light.bytes[LightSetting::kGreen] = 0x22;
    light.bytes[LightSetting::kBlue] = 0x33;
    light.bytes[LightSetting::kZzccLedMode] = 2;
    light.bytes[LightSetting::kCustomGroup] = 5;
    light.bytes[LightSetting::kOldLedMode] = 9;
    return light;
}

// Repeat 15, RepeatDelay 2, Key6Flag 1, PollingRate 2, WFlag 1, WinFlag 0.
KeyboardSystemSettings System() {
    KeyboardSystemSettings system;
    system.words = {PackHalves(15, 2), PackHalves(1, 2), PackHalves(1, 0)};
    return system;
}

ParameterBytes DeviceBytes() {
    ParameterBytes block{};
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(0xA0 + i);
    return block;
}

TEST(ParameterBlockCodec, EncodesTheLightingAndSystemBytesAndKeepsTheDevicesOwn) {
    const ParameterBytes last = DeviceBytes();
    const ParameterBytes block =
        EncodeParameterBlock(last, 2, Light(6, 1), System(), IdentityCodes());
    const std::vector<std::pair<size_t, uint8_t>> expected{
        {0, 2},    {1, 6},  {2, 3},  {3, 3},  {4, 1},  {5, 1},  {6, 0x11}, {7, 0x22},
        {8, 0x33}, {16, 0}, {18, 2}, {19, 1}, {20, 1}, {21, 0}, {22, 2},   {25, 5}};
    std::vector<bool> named(block.size(), false);
    for (const auto& [offset, value] : expected) {
        EXPECT_EQ(block[offset], value) << "byte " << offset;
        named[offset] = true;
    }
    for (size_t i = 0; i < block.size(); ++i) {
        if (!named[i]) {
            EXPECT_EQ(block[i], last[i]) << "device byte " << i << " changed";
        }
    }
}

TEST(ParameterBlockCodec, HostDrivenModeCodesBecomeTheHostMarker) {
    struct Case {
        int modeIndex;
        std::vector<int32_t> codes;
        uint8_t modeByte;
    };
    const std::vector<Case> cases{
        {29, IdentityCodes(), 0xFE},
        {30, IdentityCodes(), 0xFE},
        {28, IdentityCodes(), 28},
        // The code decides, not the index.
        {2, {0, 3, 29}, 0xFE},
        {2, {0, 3, 7}, 7},
        // An index past the list goes out as itself.
        {12, {0, 3, 7}, 12},
    };
    for (const Case& c : cases) {
        const ParameterBytes block =
            EncodeParameterBlock({}, 0, Light(c.modeIndex, 2), System(), c.codes);
        EXPECT_EQ(block[1], c.modeByte) << "mode index " << c.modeIndex;
    }
}

TEST(ParameterBlockCodec, DecodesModeBySearchingTheCodeList) {
    ParameterBytes block{};
    block[1] = 7;
    block[3] = 3;
    const auto decoded = DecodeParameterBlock(block, Light(11, 2), System(), {0, 3, 7, 9});
    EXPECT_FALSE(decoded.hostDriven);
    EXPECT_EQ(decoded.light.bytes[LightSetting::kMode], 2);
    EXPECT_EQ(decoded.light.bytes[LightSetting::kSpeed], 1);
}

TEST(ParameterBlockCodec, TheHostMarkerKeepsThePagesMode) {
    ParameterBytes block{};
    block[1] = 0xFE;
    const auto decoded = DecodeParameterBlock(block, Light(30, 2), System(), IdentityCodes());
    EXPECT_TRUE(decoded.hostDriven);
    EXPECT_EQ(decoded.light.bytes[LightSetting::kMode], 30);
}

TEST(ParameterBlockCodec, ReadsBackWhatItWroteExceptTheHostOnlySettings) {
    const LightSetting light = Light(9, 1);
    const ParameterBytes block =
        EncodeParameterBlock(DeviceBytes(), 0, light, System(), IdentityCodes());
    // The device may have other Repeat, RepeatDelay and PollingRate: the page keeps its own.
    KeyboardSystemSettings current;
    current.words = {PackHalves(7, 3), PackHalves(0, 1), PackHalves(0, 1)};
    LightSetting page = Light(0, 0);
    page.bytes[LightSetting::kOldLedMode] = 4;
    const auto decoded = DecodeParameterBlock(block, page, current, IdentityCodes());
    LightSetting expected = light;
    expected.bytes[LightSetting::kOldLedMode] = 4;  // the page's: never in the block
    EXPECT_EQ(decoded.light, expected);
    EXPECT_EQ(decoded.system.words[0], PackHalves(7, 3));
    EXPECT_EQ(decoded.system.words[1], PackHalves(1, 1));  // Key6Flag read, PollingRate kept
    EXPECT_EQ(decoded.system.words[2], PackHalves(1, 0));  // WFlag, WinFlag read
}

// --- The device object on the simulated keyboard ---

class KeyboardParameters : public ObservedKeyboardTest {
  protected:
    std::vector<uint8_t> FileBytes(const std::filesystem::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(KeyboardParameters, ReadsTheActiveProfilesBlockIntoTheObjectAndTheProfile) {
    Connect();
    ASSERT_TRUE(Firmware().SetCurrentProfile(1));
    keyboard_->NameLists().modeCodes = IdentityCodes();
    keyboard_->SetSystemSettings(PackHalves(20, 3), PackHalves(1, 2), PackHalves(1, 1));
    SetMode(6);
    keyboard_->MainLink().SetLightingSync(true);

    int current = -1;
    ASSERT_EQ(keyboard_->ReadParameterBlock(&current), 1);

    EXPECT_EQ(current, 1);
    EXPECT_EQ(keyboard_->CurrentOnboardProfile(), 1);
    EXPECT_FALSE(keyboard_->MainLink().LightingSync());
    // The factory block of profile 1: mode 1, brightness 4, speed byte 2, green.
    const LightSetting light = keyboard_->GetLightSetting();
    EXPECT_EQ(light.bytes[LightSetting::kMode], 1);
    EXPECT_EQ(light.bytes[LightSetting::kBrightness], 4);
    EXPECT_EQ(light.bytes[LightSetting::kSpeed], 2);
    EXPECT_EQ(light.bytes[LightSetting::kGreen], 0xFF);
    EXPECT_EQ(keyboard_->modesChanged, std::vector<int>{1});
    // Flags from the block (all clear); Repeat, RepeatDelay and PollingRate stay.
    EXPECT_EQ(keyboard_->SystemSettings().words,
              (std::array<uint32_t, 3>{PackHalves(20, 3), PackHalves(0, 2), PackHalves(0, 0)}));
    const std::vector<uint8_t> device = Firmware().ParameterBlock(1);
    const auto copy = keyboard_->ParameterBlock();
    EXPECT_EQ(copy[0], 1);
    EXPECT_TRUE(std::equal(copy.begin() + 1, copy.end(), device.begin() + 1));

    CKeyboardProfiledata stored;
    LoadStored(&stored);
    EXPECT_EQ(stored.ReadLightInfo(), light);
    EXPECT_EQ(stored.ReadKeyboardSystem(), keyboard_->SystemSettings());
}

TEST_F(KeyboardParameters, ModeChangeHookRunsForANewModeAndForTheCustomMode) {
    Connect();
    keyboard_->NameLists().modeCodes = IdentityCodes();
    struct Case {
        int pageMode;
        uint8_t deviceByte;
        int modeAfter;
        std::vector<int> hookCalls;
    };
    const std::vector<Case> cases{
        {1, 1, 1, {}},       // unchanged
        {4, 1, 1, {1}},      // changed
        {19, 19, 19, {19}},  // the custom mode restarts its preview every time
        {30, 0xFE, 30, {}},  // the host drives: the page's mode stays
    };
    for (const Case& c : cases) {
        SetMode(c.pageMode);
        ASSERT_TRUE(device_->MainLink().WriteParameters(&c.deviceByte, 1, 1) == 1);
        keyboard_->modesChanged.clear();
        ASSERT_EQ(keyboard_->ReadParameterBlock(), 1);
        EXPECT_EQ(keyboard_->GetLightSetting().bytes[LightSetting::kMode], c.modeAfter)
            << "page mode " << c.pageMode;
        EXPECT_EQ(keyboard_->modesChanged, c.hookCalls) << "page mode " << c.pageMode;
    }
}

TEST_F(KeyboardParameters, AnUnreadBlockChangesNothingAndSavesNothing) {
    // A profile exists already; its file must stay byte for byte.
    const std::filesystem::path file = CurrentProfileFile();
    ASSERT_FALSE(file.empty());
    const std::vector<uint8_t> before = FileBytes(file);
    SetMode(6);
    keyboard_->SetSystemSettings(PackHalves(20, 3), PackHalves(1, 2), PackHalves(1, 1));
    const LightingState state = keyboard_->GetLightingState();
    const KeyboardSystemSettings system = keyboard_->SystemSettings();

    // Not connected.
    EXPECT_EQ(keyboard_->ReadParameterBlock(), 0);
    // Connected, but the device refuses the block (the number read is fine).
    Connect();
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 2, 0x05, std::chrono::milliseconds(0)});
    EXPECT_EQ(keyboard_->ReadParameterBlock(), -103);

    EXPECT_EQ(keyboard_->GetLightingState(), state);
    EXPECT_EQ(keyboard_->SystemSettings(), system);
    EXPECT_EQ(keyboard_->ParameterBlock(), (std::array<uint8_t, kParameterBlockSize>{}));
    EXPECT_TRUE(keyboard_->modesChanged.empty());
    EXPECT_EQ(FileBytes(file), before);
}

TEST_F(KeyboardParameters, StoringReReadsTheProfileSoOtherSectionsSavedMeanwhileSurvive) {
    Connect();
    keyboard_->NameLists().modeCodes = IdentityCodes();
    ASSERT_EQ(keyboard_->ReadParameterBlock(), 1);
    // Another part of the program saves its section of the same file.
    {
        CKeyboardProfiledata other;
        LoadStored(&other);
        other.WriteCustomGroupIndex(6);
        ASSERT_TRUE(other.Save());
    }
    ASSERT_EQ(keyboard_->ReadParameterBlock(), 1);
    CKeyboardProfiledata stored;
    LoadStored(&stored);
    EXPECT_EQ(stored.ReadCustomGroupIndex(), 6);
    EXPECT_EQ(stored.ReadLightInfo(), keyboard_->GetLightSetting());
}

TEST_F(KeyboardParameters, WritesTheBlockInASessionKeepingTheDevicesBytes) {
    Connect();
    keyboard_->NameLists().modeCodes = {0, 3, 7, 29, 30, 5};
    ASSERT_EQ(keyboard_->ReadParameterBlock(), 1);  // the device's bytes to keep
    const std::vector<uint8_t> factory = Firmware().ParameterBlock(0);
    LightingState state = keyboard_->GetLightingState();
    state.setting = Light(3, 1);  // code 29: the host drives
    keyboard_->SetLightingState(state);
    keyboard_->SetSystemSettings(PackHalves(20, 3), PackHalves(1, 2), PackHalves(0, 1));
    ClearTrace();

    ASSERT_EQ(keyboard_->WriteParameterBlock(0, 0, 1, 0, 0), 1);

    const std::vector<CommandReport> sent = Sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent.front().Command(), 0x01);
    EXPECT_EQ(sent.back().Command(), 0x02);
    const std::vector<uint8_t> written = Firmware().ParameterBlock(0);
    EXPECT_EQ(written[1], 0xFE);
    EXPECT_EQ(written[3], 3);  // speed 1
    EXPECT_EQ(written[20], 1);
    EXPECT_EQ(written[21], 1);
    EXPECT_EQ(written[22], 2);
    for (size_t i : {9, 10, 11, 12, 13, 14, 15, 17, 23, 24, 26, 33, 41}) {
        EXPECT_EQ(written[i], factory[i]) << "device byte " << i;
    }
    // Read back: speed 1 again, and 0xFE keeps the page's mode.
    ASSERT_EQ(keyboard_->ReadParameterBlock(), 1);
    EXPECT_EQ(keyboard_->GetLightSetting().bytes[LightSetting::kSpeed], 1);
    EXPECT_EQ(keyboard_->GetLightSetting().bytes[LightSetting::kMode], 3);
}

TEST_F(KeyboardParameters, WriteReportsTheRealResult) {
    EXPECT_EQ(keyboard_->WriteParameterBlock(0, 0, 1, 0, 0), 0);  // not connected
    EXPECT_TRUE(Sent().empty());
    Connect();
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 1, 0x06, std::chrono::milliseconds(0)});
    EXPECT_EQ(keyboard_->WriteParameterBlock(0, 0, 1, 0, 0), -103);
    EXPECT_FALSE(Firmware().SessionOpen()) << "the session is closed after a failed write";
}

TEST_F(KeyboardParameters, SystemSettingsGoToTheObjectAndTheProfileData) {
    keyboard_->SetSystemSettings(PackHalves(30, 1), PackHalves(1, 3), PackHalves(0, 1));
    EXPECT_EQ(keyboard_->SystemSettings().words,
              (std::array<uint32_t, 3>{PackHalves(30, 1), PackHalves(1, 3), PackHalves(0, 1)}));
    // The next write sends them: Key6Flag 1, PollingRate 3, WFlag 0, WinFlag 1.
    Connect();
    ASSERT_EQ(keyboard_->WriteParameterBlock(0, 0, 1, 0, 0), 1);
    const std::vector<uint8_t> written = Firmware().ParameterBlock(0);
    EXPECT_EQ(written[19], 0);
    EXPECT_EQ(written[20], 1);
    EXPECT_EQ(written[21], 1);
    EXPECT_EQ(written[22], 3);
}

}  // namespace
}  // namespace rerov::test
