#include "editors/lighting/light_mode_layout.h"

#include <span>

namespace rerov::lighting {
namespace {

// A cell of the group columns: disabled, enabled, or the family's start state.
enum Cell : signed char { Off = 0, On = 1, Start = -1 };

// Further changes a row makes, as flags.
enum Further : unsigned {
    kNone = 0,
    kSame = 1u << 0,            // "deng_same_mode" shown when allowed
    kLightColourOff = 1u << 1,  // "light_color_layout" disabled
    kSpeedHidden = 1u << 2,     // the speed group hidden
    kSecondaryShown = 1u << 3,  // the keyboard's secondary-mode combo shown
    kCustomShown = 1u << 4,     // the custom group combo shown
    kRgbOff = 1u << 5,          // the RGB edits disabled
    kAudio = 1u << 6,           // audio mode combo shown, colour tab on the audio page
};

// One row of a family's table: the modes first..last, the six group cells, further changes
// and direction texts (null: those of the start state).
struct Row {
    int first;
    int last;
    Cell sevenColour, colour, palette, direction, brightness, speed;
    unsigned further;
    DirectionTexts texts;
};

constexpr DirectionTexts kClockwise{"light_set_clockwise_text", "light_set_anticlockwise_text"};
constexpr DirectionTexts kDownUp{"light_set_down_to_up_text", "light_set_up_to_down_text"};
constexpr DirectionTexts kUpDown{"light_set_up_to_down_text", "light_set_down_to_up_text"};
constexpr DirectionTexts kOutsideIn{"light_set_outside_to_inside_text",
                                    "light_set_inside_to_outside_text"};
constexpr DirectionTexts kRightLeft{"light_set_right_to_left_text", "light_set_left_to_right_text"};
constexpr DirectionTexts kKeep{};

// Modes not in a table (and negative ones) use every group disabled.
constexpr Row kAllOff{0, 0, Off, Off, Off, Off, Off, Off, kNone, kKeep};

constexpr Row kKeyboardRows[] = {
    {1, 2, On, On, On, Start, On, On, kNone, kKeep},
    {3, 3, On, On, On, Start, On, On, kNone, kClockwise},
    {24, 24, On, On, On, Start, On, On, kNone, kClockwise},
    {4, 4, Off, Off, Off, Off, On, On, kLightColourOff | kSame, kKeep},
    {5, 5, On, On, On, Off, On, On, kSame, kKeep},
    {23, 23, On, On, On, Off, On, On, kSame, kKeep},
    {6, 6, On, On, On, Off, On, Off, kSame, kKeep},
    {7, 10, On, On, On, Off, On, On, kNone, kKeep},
    {13, 15, On, On, On, Off, On, On, kNone, kKeep},
    {22, 22, On, On, On, Off, On, On, kNone, kKeep},
    {25, 25, On, On, On, Off, On, On, kNone, kKeep},
    {11, 11, Off, Off, Off, Off, On, On, kLightColourOff, kKeep},
    {26, 26, Off, Off, Off, Off, On, On, kLightColourOff, kKeep},
    {12, 12, Off, Off, Off, Start, On, On, kNone, kDownUp},
    {16, 16, On, On, On, Off, On, Off, kNone, kKeep},
    {17, 17, Off, Off, Off, Off, On, On, kSpeedHidden | kSecondaryShown | kLightColourOff, kKeep},
    {18, 18, Off, Off, Off, On, On, Off, kLightColourOff, kOutsideIn},
    {19, 19, Off, On, Off, Off, On, Off, kCustomShown | kSpeedHidden | kRgbOff, kKeep},
    {20, 20, Off, Off, Off, Off, Off, Off, kSame, kKeep},
    {21, 21, On, On, On, Start, On, On, kNone, kUpDown},
    {27, 27, Off, Off, Off, Off, On, On, kNone, kKeep},
    {29, 29, On, On, On, Start, On, Off, kSpeedHidden | kAudio, kKeep},
    {30, 30, Off, Off, Off, Off, On, Off, kLightColourOff, kKeep},
};

constexpr Row kMouseRows[] = {
    {0, 0, On, On, On, Start, On, On, kNone, kKeep},
    {5, 5, On, On, On, Start, On, On, kNone, kKeep},
    {1, 1, Off, Off, Off, Off, On, On, kNone, kKeep},
    {2, 2, On, On, On, Off, On, On, kNone, kKeep},
    {4, 4, On, On, On, Off, On, On, kNone, kKeep},
    {6, 6, On, On, On, Off, On, On, kNone, kKeep},
    {3, 3, Off, On, On, Off, On, Off, kNone, kKeep},
    {7, 8, Off, Off, Off, Off, On, On, kNone, kKeep},
    {11, 11, On, On, On, Start, On, Off, kSpeedHidden | kAudio, kKeep},
};

constexpr Row kPadRows[] = {
    {0, 0, On, On, On, Start, On, On, kNone, kKeep},
    {1, 1, Off, Off, Off, Off, On, On, kSame, kKeep},
    {2, 2, On, On, On, Off, On, On, kSame, kKeep},
    {4, 4, On, On, On, Off, On, On, kSame, kKeep},
    {3, 3, Off, On, On, Off, On, Off, kSame, kKeep},
    {8, 8, Off, Off, Off, Off, Off, Off, kSame, kKeep},
};

const Row& FindRow(std::span<const Row> rows, int mode) {
    for (const Row& row : rows) {
        if (mode >= row.first && mode <= row.last) return row;
    }
    return kAllOff;
}

// The direction group is enabled in every start state.
bool CellValue(Cell cell) { return cell != Off; }

void ApplyRow(const Row& row, bool sameModeAllowed, ModeLayout* layout) {
    layout->sevenColourEnabled = CellValue(row.sevenColour);
    layout->colourEnabled = CellValue(row.colour);
    layout->paletteEnabled = CellValue(row.palette);
    layout->directionEnabled = CellValue(row.direction);
    layout->brightnessEnabled = CellValue(row.brightness);
    layout->speedEnabled = CellValue(row.speed);
    if ((row.further & kSame) != 0) layout->sameModeVisible = sameModeAllowed;
    if ((row.further & kLightColourOff) != 0) layout->lightColourEnabled = false;
    if ((row.further & kSpeedHidden) != 0) layout->speedVisible = false;
    if ((row.further & kSecondaryShown) != 0) layout->secondaryModeVisible = true;
    if ((row.further & kCustomShown) != 0) layout->customVisible = true;
    if ((row.further & kRgbOff) != 0) layout->rgbEnabled = false;
    if ((row.further & kAudio) != 0) {
        layout->audioModeVisible = true;
        layout->colourPage = 1;
    }
    if (row.texts.left != nullptr) layout->direction = row.texts;
}

ModeLayout KeyboardStart() {
    ModeLayout layout;
    layout.customVisible = false;
    layout.speedVisible = true;
    layout.secondaryModeVisible = false;
    layout.lightColourEnabled = true;
    layout.direction = kRightLeft;
    layout.audioModeVisible = false;
    layout.colourPage = 0;
    layout.rgbEnabled = true;
    return layout;
}

ModeLayout MouseStart() {
    ModeLayout layout;
    layout.audioModeVisible = false;
    layout.colourPage = 0;
    layout.speedVisible = true;
    layout.direction = kDownUp;
    return layout;
}

}  // namespace

std::optional<ModeLayout> ResolveModeLayout(int kind, int mode, bool sameModeAllowed) {
    ModeLayout layout;
    switch (kind) {
        case kKindKeyboard:
            layout = KeyboardStart();
            ApplyRow(FindRow(kKeyboardRows, mode), sameModeAllowed, &layout);
            break;
        case kKindMouse:
            layout = MouseStart();
            // A mouse page never offers the same effect for all devices.
            ApplyRow(FindRow(kMouseRows, mode), false, &layout);
            break;
        case kKindMousePad:
        case kKindHeadsetAlike:
        case kKindHeadset:
            ApplyRow(FindRow(kPadRows, mode), sameModeAllowed, &layout);
            break;
        default:
            return std::nullopt;
    }
    return layout;
}

}  // namespace rerov::lighting
