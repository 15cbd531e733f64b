// Text forms of the simulator: trace lines and the --simulate=LIST path names.

#include <algorithm>

#include "device_link/link_trace.h"
#include "sim/simulated_bus.h"
#include "sim/virtual_nodes.h"

namespace rerov::sim {

std::string TraceLine(TraceDirection direction, const uint8_t* report, size_t length) {
    // One formatter for the simulator and rerovctl --trace, so the two never differ.
    return FormatReportTraceLine(direction == TraceDirection::HostToDevice
                                     ? ReportDirection::HostToDevice
                                     : ReportDirection::DeviceToHost,
                                 report, length);
}

bool ParseSimPathList(const std::string& list, std::vector<SimPath>* paths, std::string* error) {
    std::vector<SimPath> parsed;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        std::string name = list.substr(start, end - start);
        const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
        name.erase(name.begin(), std::find_if(name.begin(), name.end(), notSpace));
        name.erase(std::find_if(name.rbegin(), name.rend(), notSpace).base(), name.end());
        const auto* match = std::find_if(kAllSimPaths.begin(), kAllSimPaths.end(),
                                         [&](SimPath p) { return name == SimPathName(p); });
        if (match == kAllSimPaths.end()) {
            if (error) {
                *error = name.empty() ? "empty device name in \"" + list + "\""
                                      : "unknown device \"" + name +
                                            "\" (known: keyboard, keyboard-receiver, mouse, "
                                            "mouse-receiver, mousepad, headset)";
            }
            return false;
        }
        if (std::find(parsed.begin(), parsed.end(), *match) == parsed.end()) {
            parsed.push_back(*match);
        }
        start = end + 1;
    }
    if (paths) *paths = std::move(parsed);
    return true;
}

}  // namespace rerov::sim
