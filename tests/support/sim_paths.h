#pragma once
// Finding a supported-device row's interface on a simulated bus.

#include <string>

#include "device_link/hid_device.h"
#include "device_link/supported_devices.h"
#include "sim/simulated_bus.h"

namespace rerov::test {

// The path of row `row` of the supported-device table on `bus` ("" when absent).
inline std::string PathOfRow(sim::SimulatedBus& bus, int row) {
    const SupportedDevice wanted = SupportedDevices()[static_cast<size_t>(row)];
    for (const std::string& candidate : bus.EnumeratePaths()) {
        if (VendorIdFromPath(candidate) == wanted.vendorId &&
            ProductIdFromPath(candidate) == wanted.productId &&
            InterfaceFromPath(candidate) == wanted.interfaceNumber &&
            CollectionFromPath(candidate) == wanted.collectionNumber) {
            return candidate;
        }
    }
    return {};
}

}  // namespace rerov::test
