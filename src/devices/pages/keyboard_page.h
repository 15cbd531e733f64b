#pragma once
// The keyboard page's wiring beyond its editors: the language texts the keyboard object
// labels keys with, the system tab, the profile the page shows before any device is there,
// and what the page does when its keyboard arrives. UI thread only.

#include <QObject>
#include <vector>

#include "devices/keyboard/keyboard_device.h"

namespace rerov {

class CDevicePageUI;

/// The keyboard object of `page`, or null on another family's page.
CZidiraKeyboardDevice* KeyboardOf(CDevicePageUI& page);

/// A language lookup for a device object whose threads may ask for texts: on `owner`'s
/// thread it reads the program's current language; elsewhere a copy of it, taken on that
/// thread whenever the language there changed.
CZidiraKeyboardDevice::TextLookup MakeLanguageLookup(const QObject& owner);

/// Before the keyboard object shows anything: its language lookup. Runs before InitPage.
void PrepareKeyboardDevice(CDevicePageUI& page);

/// After the page's editors are built: the system tab, and the shown profile taken into
/// the object so the key editor and the picture work before a keyboard is plugged in.
void WireKeyboardPage(CDevicePageUI& page);

/// The keyboard behind the page came up: it is read out, then the program's profile goes
/// to it, so whatever the keyboard lost while it was away (unplugged, asleep) comes back.
/// Other families are only read out.
DownloadReport ReadAndApplyOnArrival(CDevicePageUI& page);

/// The lighting mode whose keys the user paints one by one.
inline constexpr int kCustomLightMode = 19;

/// True while the page shows its lighting editor with the custom mode and the picker edits
/// the colour keys are painted with ("custom_bright_color_btn"; "custom_off_color_btn"
/// edits the colour of unpainted keys, and clicks then open keys in the key editor).
bool PaintsCustomKeys(CDevicePageUI& page);
/// Which custom colour the picker edits (true: the one keys are painted with).
void SetCustomColourTarget(CDevicePageUI& page, bool paintColour);

/// Paints the lights of `keys` in the lighting colour when PaintsCustomKeys: each takes the
/// colour and the custom slot of the lighting editor's custom group is written. False (and
/// nothing painted) otherwise.
bool PaintCustomKeys(CDevicePageUI& page, const std::vector<int>& keys);

}  // namespace rerov
