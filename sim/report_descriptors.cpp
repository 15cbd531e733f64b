#include "sim/report_descriptors.h"

namespace rerov::sim {

namespace {

// Short-item prefixes (tag and type, size bits left 0).
enum Tag : uint8_t {
    kInput = 0x80,
    kOutput = 0x90,
    kCollection = 0xA0,
    kEndCollection = 0xC0,
    kUsagePage = 0x04,
    kLogicalMin = 0x14,
    kLogicalMax = 0x24,
    kReportSize = 0x74,
    kReportId = 0x84,
    kReportCount = 0x94,
    kUsage = 0x08,
    kUsageMin = 0x18,
    kUsageMax = 0x28,
};

// Main item data bits.
constexpr uint32_t kData = 0x00, kConstant = 0x01, kArray = 0x00, kVariable = 0x02,
                   kAbsolute = 0x00, kRelative = 0x04;
constexpr uint32_t kApplication = 0x01, kPhysical = 0x00;

class DescriptorWriter {
  public:
    // An item whose data is unsigned (usages, sizes, ids, flags).
    DescriptorWriter& U(Tag tag, uint32_t value) {
        if (value <= 0xFF) return Emit(tag, value, 1);
        if (value <= 0xFFFF) return Emit(tag, value, 2);
        return Emit(tag, value, 4);
    }
    // An item whose data is signed (logical limits).
    DescriptorWriter& S(Tag tag, int32_t value) {
        if (value >= -128 && value <= 127) return Emit(tag, static_cast<uint32_t>(value), 1);
        if (value >= -32768 && value <= 32767) return Emit(tag, static_cast<uint32_t>(value), 2);
        return Emit(tag, static_cast<uint32_t>(value), 4);
    }
    DescriptorWriter& End() {
        bytes_.push_back(kEndCollection);
        return *this;
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    DescriptorWriter& Emit(Tag tag, uint32_t value, int size) {
        const uint8_t sizeCode = size == 4 ? 3 : static_cast<uint8_t>(size);
        bytes_.push_back(static_cast<uint8_t>(tag | sizeCode));
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    std::vector<uint8_t> bytes_;
};

void SystemControl(DescriptorWriter& w) {
    w.U(kUsagePage, 0x01).U(kUsage, 0x80).U(kCollection, kApplication);
    w.U(kReportId, kSystemControlReportId);
    w.U(kUsageMin, 0x81).U(kUsageMax, 0x83);  // power down, sleep, wake up
    w.S(kLogicalMin, 0).S(kLogicalMax, 1).U(kReportSize, 1).U(kReportCount, 3);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kReportCount, 5).U(kInput, kConstant);
    w.End();
}

// Modifier bits and a key bitmap, so that any number of keys can be down at once.
void NkroKeyboard(DescriptorWriter& w) {
    w.U(kUsagePage, 0x01).U(kUsage, 0x06).U(kCollection, kApplication);
    w.U(kReportId, kKeyboardOrMouseReportId);
    w.U(kUsagePage, 0x07).U(kUsageMin, 0xE0).U(kUsageMax, 0xE7);
    w.S(kLogicalMin, 0).S(kLogicalMax, 1).U(kReportSize, 1).U(kReportCount, 8);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kUsageMin, 0x00).U(kUsageMax, 0xA7).U(kReportCount, 0xA8);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kUsagePage, 0x08).U(kUsageMin, 0x01).U(kUsageMax, 0x05).U(kReportCount, 5);
    w.U(kOutput, kData | kVariable | kAbsolute);
    w.U(kReportSize, 3).U(kReportCount, 1).U(kOutput, kConstant);
    w.End();
}

void Mouse(DescriptorWriter& w) {
    w.U(kUsagePage, 0x01).U(kUsage, 0x02).U(kCollection, kApplication);
    w.U(kReportId, kKeyboardOrMouseReportId);
    w.U(kUsage, 0x01).U(kCollection, kPhysical);
    w.U(kUsagePage, 0x09).U(kUsageMin, 1).U(kUsageMax, 5);
    w.S(kLogicalMin, 0).S(kLogicalMax, 1).U(kReportSize, 1).U(kReportCount, 5);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kReportSize, 3).U(kReportCount, 1).U(kInput, kConstant);
    w.U(kUsagePage, 0x01).U(kUsage, 0x30).U(kUsage, 0x31);
    w.S(kLogicalMin, -32767).S(kLogicalMax, 32767).U(kReportSize, 16).U(kReportCount, 2);
    w.U(kInput, kData | kVariable | kRelative);
    w.U(kUsage, 0x38).S(kLogicalMin, -127).S(kLogicalMax, 127).U(kReportSize, 8);
    w.U(kReportCount, 1).U(kInput, kData | kVariable | kRelative);
    w.U(kUsagePage, 0x0C).U(kUsage, 0x238).U(kInput, kData | kVariable | kRelative);
    w.End();
    w.End();
}

// One 16-bit array field: a media key usage, or one of the device's event codes
// (0x401 configuration changed ... 0x1100 + 16m + n profile report).
void ConsumerEvents(DescriptorWriter& w) {
    w.U(kUsagePage, 0x0C).U(kUsage, 0x01).U(kCollection, kApplication);
    w.U(kReportId, kEventReportId);
    w.S(kLogicalMin, 0).S(kLogicalMax, 0x1FFF).U(kUsageMin, 0).U(kUsageMax, 0x1FFF);
    w.U(kReportSize, 16).U(kReportCount, 1).U(kInput, kData | kArray | kAbsolute);
    w.End();
}

void VendorCommands(DescriptorWriter& w) {
    w.U(kUsagePage, 0xFF1C).U(kUsage, 0x92).U(kCollection, kApplication);
    w.U(kReportId, kVendorReportId);
    w.S(kLogicalMin, 0).S(kLogicalMax, 0xFF).U(kReportSize, 8);
    w.U(kReportCount, kVendorReportDataBytes).U(kUsage, 0x01);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kReportCount, kVendorReportDataBytes).U(kUsage, 0x02);
    w.U(kOutput, kData | kVariable | kAbsolute);
    w.End();
}

}  // namespace

std::vector<uint8_t> BootKeyboardDescriptor() {
    DescriptorWriter w;
    w.U(kUsagePage, 0x01).U(kUsage, 0x06).U(kCollection, kApplication);
    w.U(kUsagePage, 0x07).U(kUsageMin, 0xE0).U(kUsageMax, 0xE7);
    w.S(kLogicalMin, 0).S(kLogicalMax, 1).U(kReportSize, 1).U(kReportCount, 8);
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kReportSize, 8).U(kReportCount, 1).U(kInput, kConstant);
    w.U(kUsagePage, 0x08).U(kUsageMin, 1).U(kUsageMax, 5).U(kReportSize, 1).U(kReportCount, 5);
    w.U(kOutput, kData | kVariable | kAbsolute);
    w.U(kReportSize, 3).U(kReportCount, 1).U(kOutput, kConstant);
    w.U(kUsagePage, 0x07).U(kUsageMin, 0).U(kUsageMax, 0xFF);
    w.S(kLogicalMin, 0).S(kLogicalMax, 0xFF).U(kReportSize, 8).U(kReportCount, 6);
    w.U(kInput, kData | kArray | kAbsolute);
    w.End();
    return w.Take();
}

std::vector<OutputReport> BootKeyboardOutputs() { return {{0, 2}}; }  // the LED byte

std::vector<uint8_t> CommandInterfaceDescriptor(SecondCollection second) {
    DescriptorWriter w;
    SystemControl(w);
    if (second == SecondCollection::Keyboard) {
        NkroKeyboard(w);
    } else {
        Mouse(w);
    }
    ConsumerEvents(w);
    VendorCommands(w);
    return w.Take();
}

std::vector<OutputReport> CommandInterfaceOutputs(SecondCollection second) {
    std::vector<OutputReport> outputs;
    if (second == SecondCollection::Keyboard) outputs.push_back({kKeyboardOrMouseReportId, 2});
    outputs.push_back({kVendorReportId, 1 + kVendorReportDataBytes});
    return outputs;
}

std::vector<uint8_t> HeadsetDescriptor() {
    DescriptorWriter w;
    w.U(kUsagePage, 0x0C).U(kUsage, 0x01).U(kCollection, kApplication);
    w.U(kReportId, 1);
    w.S(kLogicalMin, 0).S(kLogicalMax, 1).U(kReportSize, 1).U(kReportCount, 3);
    w.U(kUsage, 0xE9).U(kUsage, 0xEA).U(kUsage, 0xE2);  // volume up, down, mute
    w.U(kInput, kData | kVariable | kAbsolute);
    w.U(kReportCount, 5).U(kInput, kConstant);
    w.U(kReportId, kHeadsetLightReportId);
    w.U(kUsagePage, 0xFF00).U(kUsage, 0x01);
    w.S(kLogicalMin, 0).S(kLogicalMax, 0xFF).U(kReportSize, 8);
    w.U(kReportCount, kHeadsetLightReportDataBytes);
    w.U(kOutput, kData | kVariable | kAbsolute);
    w.End();
    return w.Take();
}

std::vector<OutputReport> HeadsetOutputs() {
    return {{kHeadsetLightReportId, 1 + kHeadsetLightReportDataBytes}};
}

}  // namespace rerov::sim
