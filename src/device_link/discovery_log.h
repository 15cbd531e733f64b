#pragma once
// Log category of discovery and the device manager ("rerov.discovery"): debug traces are
// off by default (QT_LOGGING_RULES="rerov.discovery.debug=true" turns them on).

#include <QLoggingCategory>

namespace rerov {
Q_DECLARE_LOGGING_CATEGORY(lcDiscovery)
}  // namespace rerov
