#include "sim/keyboard_memory.h"

#include <algorithm>
#include <string>

#include "sim/keyboard_layout.h"

namespace rerov::sim {

namespace {

// Power status bytes the host reads.
constexpr size_t kBatteryByte = 0;
constexpr size_t kChargeStateByte = 1;
constexpr size_t kLinkTypeByte = 3;
// Information block bytes besides the key positions and macro units.
constexpr size_t kInfoProfileCount = 4;
constexpr size_t kInfoCustomSlots = 7;

int64_t At(const std::vector<uint8_t>& bytes, size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

// Cuts `bytes` into sections of `size` titled "<title> <n>", at their addresses.
void AddNumberedSections(MemoryArea* area, const std::string& title,
                         const std::vector<uint8_t>& bytes, size_t size) {
    for (size_t start = 0, number = 0; start < bytes.size(); start += size, ++number) {
        const size_t end = std::min(bytes.size(), start + size);
        area->sections.push_back({title + " " + std::to_string(number),
                                  start,
                                  {bytes.begin() + static_cast<ptrdiff_t>(start),
                                   bytes.begin() + static_cast<ptrdiff_t>(end)}});
    }
}

void Info(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"information block", 0, memory.info});
    area->values = {
        {"keyPositions", At(memory.info, KeyboardModel::kInfoKeyPositionCount)},
        {"profiles", At(memory.info, kInfoProfileCount)},
        {"macroUnits", At(memory.info, KeyboardModel::kInfoMacroUnits)},
        {"customSlots", At(memory.info, kInfoCustomSlots)},
    };
}

void KeyTables(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"key table", 0, memory.keyTable});
    area->sections.push_back({"Fn key table", 0, memory.fnKeyTable});
    area->sections.push_back({"factory key table", 0, memory.factoryKeyTable});
}

void LedTable(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"LED table", 0, memory.ledTable});
    const auto leds = std::count_if(memory.ledTable.begin(), memory.ledTable.end(),
                                    [](uint8_t led) { return led != kNoLed; });
    area->values = {{"leds", static_cast<int64_t>(leds)}};
}

void Parameters(const KeyboardMemory& memory, MemoryArea* area) {
    AddNumberedSections(area, "profile", memory.parameters, KeyboardModel::kParameterBlockSize);
    // Byte 0 of the area (in profile 0's block) is the profile in use.
    area->values = {{"currentProfile", At(memory.parameters, 0)},
                    {"profiles", static_cast<int64_t>(KeyboardModel::kProfileCount)}};
}

void Colors(const KeyboardMemory& memory, MemoryArea* area) {
    AddNumberedSections(area, "slot", memory.customSlots, KeyboardModel::kCustomSlotSize);
    area->values = {{"slots", static_cast<int64_t>(KeyboardModel::kCustomSlotCount)}};
}

void Macros(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"macro memory", 0, memory.macros});
    area->values = {{"macroUnits", At(memory.info, KeyboardModel::kInfoMacroUnits)},
                    {"macroBytes", static_cast<int64_t>(memory.macros.size())}};
}

void Frame(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"light frame", 0, memory.lightFrame});
}

void Power(const KeyboardMemory& memory, MemoryArea* area) {
    area->sections.push_back({"power status", 0, memory.powerStatus});
    area->values = {{"batteryPercent", At(memory.powerStatus, kBatteryByte)},
                    {"chargeState", At(memory.powerStatus, kChargeStateByte)},
                    {"linkType", At(memory.powerStatus, kLinkTypeByte)}};
}

void HostLighting(const KeyboardMemory& memory, MemoryArea* area) {
    const uint8_t on = memory.hostLighting ? 1 : 0;
    area->sections.push_back({"host lighting", 0, {on}});
    area->values = {{"hostLighting", on}, {"sessionOpen", memory.sessionOpen ? 1 : 0}};
}

struct AreaRow {
    const char* name;
    const char* description;
    void (*fill)(const KeyboardMemory&, MemoryArea*);
};

constexpr AreaRow kAreas[] = {
    {"info", "the information block (geometry, profiles, macro memory, colour slots)", &Info},
    {"keytable", "the key table, the Fn key table and the factory key table", &KeyTables},
    {"ledtable", "the LED number of each key position", &LedTable},
    {"params", "every onboard profile's parameter block and the current profile", &Parameters},
    {"colors", "the custom-colour slots", &Colors},
    {"macros", "the macro memory", &Macros},
    {"frame", "the last lighting frame", &Frame},
    {"power", "the power status as the host reads it over this path", &Power},
    {"host-lighting", "whether the host has taken over the lighting", &HostLighting},
};

}  // namespace

std::vector<MemoryAreaName> KeyboardMemoryAreaNames() {
    std::vector<MemoryAreaName> names;
    for (const AreaRow& row : kAreas) names.push_back({row.name, row.description});
    return names;
}

std::vector<MemoryArea> KeyboardMemoryAreas(const KeyboardModel& model, KeyboardLink link) {
    const KeyboardMemory memory = model.Snapshot(link);
    std::vector<MemoryArea> areas;
    for (const AreaRow& row : kAreas) {
        MemoryArea area;
        area.name = row.name;
        area.description = row.description;
        row.fill(memory, &area);
        areas.push_back(std::move(area));
    }
    return areas;
}

}  // namespace rerov::sim
