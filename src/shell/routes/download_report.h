#pragma once
// The window's report after a download to a keyboard: a refused or broken-off transfer is
// named as such; otherwise the report code as every download shows it.

#include "devices/keyboard/keyboard_device.h"

class QWidget;

namespace rerov::shell {

/// The language key of the notice that a download was refused or broke off.
inline constexpr const char* kDownloadRefusedKey = "message_download_failed";

/// Shows the notice of `report`: "message_download_failed" when the link failed, else as
/// ShowDownloadReport with its code (nothing for 0).
void ShowKeyboardDownloadReport(QWidget* owner, const DownloadReport& report, int dpi);

}  // namespace rerov::shell
