#pragma once
// Log category of the HID layer ("rerov.hid"): debug traces are off by default
// (QT_LOGGING_RULES="rerov.hid.debug=true" turns them on); warnings are shown.

#include <QLoggingCategory>

namespace rerov {
Q_DECLARE_LOGGING_CATEGORY(lcHid)
}  // namespace rerov
