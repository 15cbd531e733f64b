#include "device_link/hid_log.h"

namespace rerov {
Q_LOGGING_CATEGORY(lcHid, "rerov.hid", QtInfoMsg)
}  // namespace rerov
