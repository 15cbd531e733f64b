#include "device_link/discovery_log.h"

namespace rerov {
Q_LOGGING_CATEGORY(lcDiscovery, "rerov.discovery", QtInfoMsg)
}  // namespace rerov
