// The keyboard's per-key lighting data: palette maps and RGB tables of the custom colour
// slots, and the frames of the host-driven modes.

#include "devices/keyboard/light_tables.h"
#include "tests/devices/keyboard/keyboard_observed.h"

namespace rerov::test {
namespace {

using keyboard::BuildPaletteMap;
using keyboard::BuildRgbTable;
using keyboard::ColourWord;
using keyboard::LedColour;

constexpr uint32_t kRed = ColourWord(0xFF, 0, 0, 0xFF);

TEST(LightTables, PaletteNibblesFollowTheLedNumber) {
    const std::vector<LedColour> lights{
        {6, kRed},                       // even: low nibble of byte 3
        {7, kRed},                       // odd: high nibble of byte 3
        {8, ColourWord(0, 0, 0, 0xFF)},  // black stays off
        {9, ColourWord(0, 0, 1, 0)},     // lit (brightness aside): high nibble of byte 4
        {kNoPosition, kRed},             // no LED
        {40, kRed},                      // past the key-position count
    };
    const std::vector<uint8_t> map = BuildPaletteMap(lights, 40, 5);
    ASSERT_EQ(map.size(), 64u);
    std::vector<uint8_t> expected(64, 0);
    expected[3] = 0x55;
    expected[4] = 0x50;
    EXPECT_EQ(map, expected);
}

TEST(LightTables, PaletteMapIgnoresLedsPastItsEnd) {
    // A keyboard with more positions than the map holds: LED 128 has no nibble.
    const std::vector<uint8_t> map = BuildPaletteMap({{127, kRed}, {128, kRed}}, 170, 3);
    EXPECT_EQ(map[63], 0x30);
    EXPECT_EQ(std::count(map.begin(), map.end(), 0), 63);
}

TEST(LightTables, RgbTableScalesByBrightnessAtTheLedsPlace) {
    const std::vector<LedColour> lights{
        {2, ColourWord(0xFF, 0x80, 0x10, 0x80)},
        {0, ColourWord(0xFF, 0xFF, 0xFF, 0xFF)},
        {kNoPosition, kRed},
        {4, kRed},  // past the count
    };
    const std::vector<uint8_t> table = BuildRgbTable(lights, 4);
    EXPECT_EQ(table, (std::vector<uint8_t>{0xFE, 0xFE, 0xFE, 0, 0, 0, 0x7F, 0x40, 0x08, 0, 0, 0}));
}

// --- The device object ---

class KeyboardLightingData : public ObservedKeyboardTest {
  protected:
    static constexpr uint8_t kPositions = 100;
    static constexpr int kCustomSlot = 2;

    void SetUp() override {
        ObservedKeyboardTest::SetUp();
        keyboard_->SetView(&view_);
        SetKeyPositionCount(kPositions);
        PositionMaps maps;
        // Lights 0..3 on LEDs 6, 7, 10 and (past the count) 120; light 4 has no LED.
        maps.lightPosition = {{0, 6}, {1, 7}, {2, 10}, {3, 120}, {4, kNoPosition}};
        keyboard_->Publish(maps);
        LightingState state = keyboard_->GetLightingState();
        state.setting.bytes[LightSetting::kMode] = 19;
        state.setting.bytes[LightSetting::kRed] = 0xFF;
        state.setting.bytes[LightSetting::kCustomGroup] = kCustomSlot;
        keyboard_->SetLightingState(state);
        for (int light = 0; light < keyboard_->LightCount(); ++light) {
            keyboard_->SetLightColor(light, 0);
        }
    }
    void TearDown() override {
        keyboard_->SetView(nullptr);
        ObservedKeyboardTest::TearDown();
    }
    std::vector<uint8_t> Slot() const { return Firmware().CustomColorSlot(kCustomSlot); }
    sim::KeyboardModel& Firmware() const { return bus_->Keyboard(); }

    QueueingPageView view_;
};

TEST_F(KeyboardLightingData, PaintingAKeyWritesThePaletteMapOfTheCustomSlot) {
    Connect();
    keyboard_->PaintCustomKey(0, 4, 0);  // red is palette entry 4: nibble 5
    std::vector<uint8_t> slot = Slot();
    EXPECT_EQ(slot[3], 0x05);
    keyboard_->PaintCustomKey(1, 4, 0);
    slot = Slot();
    EXPECT_EQ(slot[3], 0x55);
    EXPECT_EQ(std::count(slot.begin(), slot.begin() + 64, 0), 63);
    EXPECT_EQ(keyboard_->GetLightColor(1), kRed);
    for (const CommandReport& report : Sent(0x0B)) {
        EXPECT_GE(report.DataOffset(), kCustomSlot * 512);
        EXPECT_LT(report.DataOffset(), kCustomSlot * 512 + 64) << "written past the palette map";
    }

    // The group's colours went into the profile.
    CKeyboardProfiledata stored;
    LoadStored(&stored);
    const std::vector<KeyColor> colours = stored.ReadKeyColors(0, keyboard_->LightCount());
    EXPECT_EQ(colours[0], (KeyColor{0xFF, 0, 0, 0xFF}));
    EXPECT_EQ(colours[1], (KeyColor{0xFF, 0, 0, 0xFF}));
    EXPECT_EQ(colours[2], (KeyColor{}));
}

TEST_F(KeyboardLightingData, PaintingOutsideTheCustomModeOrWithoutAGroup) {
    Connect();
    SetMode(6);
    keyboard_->PaintCustomKey(0, 4, 0);
    EXPECT_EQ(keyboard_->GetLightColor(0), 0u);
    EXPECT_TRUE(Sent(0x0B).empty());

    SetMode(19);
    keyboard_->PaintCustomKey(0, 4, -1);  // no group selected: only the light changes
    EXPECT_EQ(keyboard_->GetLightColor(0), kRed);
    EXPECT_TRUE(Sent(0x0B).empty());

    keyboard_->PaintCustomKey(keyboard_->LightCount(), 4, 0);  // no such light
    EXPECT_TRUE(Sent(0x0B).empty());
}

TEST_F(KeyboardLightingData, FillingTheSlotLightsEveryLedInTheLastPaintedColour) {
    Connect();
    keyboard_->PaintCustomKey(2, 6, -1);
    keyboard_->FillCustomSlot();
    const std::vector<uint8_t> slot = Slot();
    EXPECT_EQ(std::vector<uint8_t>(slot.begin(), slot.begin() + 64),
              std::vector<uint8_t>(64, 0x77));
    EXPECT_EQ(keyboard_->pauses, 0);

    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 1, 0x0B, std::chrono::milliseconds(0)});
    keyboard_->FillCustomSlot();
    EXPECT_EQ(keyboard_->pauses, 1);
}

TEST_F(KeyboardLightingData, CustomColoursFromTheProfileGoOutAsAnRgbTable) {
    Connect();
    {
        CKeyboardProfiledata data;
        LoadStored(&data);
        std::vector<KeyColor> colours(static_cast<size_t>(keyboard_->LightCount()));
        colours[0] = {0x10, 0x20, 0x30, 0xFF};
        colours[2] = {0xFF, 0x80, 0x00, 0x80};
        colours[3] = {0xFF, 0xFF, 0xFF, 0xFF};  // LED past the count
        data.WriteCustomGroupIndex(1);
        ASSERT_TRUE(data.WriteKeyColors(colours, 1));
        ASSERT_TRUE(data.Save());
    }
    keyboard_->WriteCustomColors();
    EXPECT_EQ(keyboard_->GetLightColor(2), ColourWord(0xFF, 0x80, 0x00, 0x80));
    const std::vector<uint8_t> slot = Slot();
    std::vector<uint8_t> expected(kPositions * 3, 0);
    expected[18] = 0x0F;  // LED 6
    expected[19] = 0x1F;
    expected[20] = 0x2F;
    expected[30] = 0x7F;  // LED 10
    expected[31] = 0x40;
    EXPECT_EQ(std::vector<uint8_t>(slot.begin(), slot.begin() + kPositions * 3), expected);
}

TEST_F(KeyboardLightingData, FramesGoOutOnlyInTheHostDrivenModes) {
    Connect();
    keyboard_->SetLightColor(0, ColourWord(0x80, 0, 0, 0xFF));
    struct Case {
        int mode;
        bool sent;
    };
    for (const Case& c : {Case{29, true}, Case{30, true}, Case{5, false}, Case{19, false}}) {
        SetMode(c.mode);
        ClearTrace();
        keyboard_->StreamLightFrame();
        EXPECT_EQ(!Sent(0x12).empty(), c.sent) << "mode " << c.mode;
    }
    SetMode(29);
    keyboard_->StreamLightFrame();
    const std::vector<uint8_t> frame = Firmware().LightFrame();
    EXPECT_EQ(frame[18], 0x7F);
    EXPECT_EQ(std::count(frame.begin(), frame.begin() + kPositions * 3, 0), kPositions * 3 - 1);
    EXPECT_EQ(keyboard_->pauses, 0);
}

TEST_F(KeyboardLightingData, FramesPaintThePageAndStopWhileTheHostDoesNotDriveTheLighting) {
    Connect();
    SetMode(29);
    keyboard_->SetLightColor(0, kRed);
    keyboard_->StreamLightFrame();
    ASSERT_EQ(view_.painted.size(), 1u);
    EXPECT_EQ(view_.painted.back()[0], kRed);

    // Off the lighting tab the page shows its lights black.
    keyboard_->SelectFunctionTab(2);
    keyboard_->StreamLightFrame();
    ASSERT_EQ(view_.painted.size(), 2u);
    EXPECT_EQ(std::count(view_.painted.back().begin(), view_.painted.back().end(), 0u),
              keyboard_->LightCount());

    keyboard_->SetHostLighting(0);
    ClearTrace();
    keyboard_->StreamLightFrame();
    EXPECT_EQ(view_.painted.size(), 2u);
    EXPECT_TRUE(Sent(0x12).empty());
}

TEST_F(KeyboardLightingData, AFailedFrameCostsOnePause) {
    Connect();
    SetMode(30);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::StatusFE, 1, 0x12, std::chrono::milliseconds(0)});
    keyboard_->StreamLightFrame();
    EXPECT_EQ(keyboard_->pauses, 1);
    keyboard_->StreamLightFrame();
    EXPECT_EQ(keyboard_->pauses, 1);
}

}  // namespace
}  // namespace rerov::test
