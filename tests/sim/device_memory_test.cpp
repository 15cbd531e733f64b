// The memory read-out of the simulated devices: each area's shape, known factory bytes,
// bytes that commands wrote, and the receiver's link state.

#include "sim/device_memory.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/keyboard_layout.h"
#include "sim/virtual_nodes.h"
#include "tests/sim/sim_test_support.h"

namespace rerov::sim::testing {
namespace {

const MemoryArea* FindArea(const std::vector<MemoryArea>& areas, const std::string& name) {
    const auto it = std::find_if(areas.begin(), areas.end(),
                                 [&](const MemoryArea& area) { return area.name == name; });
    return it == areas.end() ? nullptr : &*it;
}

int64_t ValueOf(const MemoryArea& area, const std::string& name) {
    for (const MemoryValue& value : area.values) {
        if (value.name == name) return value.value;
    }
    ADD_FAILURE() << area.name << " has no value " << name;
    return -1;
}

class DeviceMemoryTest : public SimTest {
  protected:
    void SetUp() override {
        bus_.Plug(SimPath::KeyboardCable);
        bus_.Plug(SimPath::KeyboardReceiver);
        cable_ = OpenCommand(SimPath::KeyboardCable);
        ASSERT_NE(cable_, nullptr);
    }

    void Command(uint8_t command, uint8_t length, uint16_t offset,
                 const std::vector<uint8_t>& payload) {
        const Report reply = Transact(*cable_, Request(command, length, offset, payload));
        ASSERT_EQ(reply[7], 0) << "command " << int{command} << " refused";
    }

    MemoryArea Area(const std::string& name, SimPath path = SimPath::KeyboardCable) {
        const std::vector<MemoryArea> areas = ReadDeviceMemory(bus_, path);
        const MemoryArea* area = FindArea(areas, name);
        if (!area) {
            ADD_FAILURE() << "no area " << name;
            return {};
        }
        return *area;
    }

    std::unique_ptr<HidConnection> cable_;
};

TEST_F(DeviceMemoryTest, EachKeyboardAreaHasItsSectionsAndAKnownFactoryByte) {
    struct Case {
        const char* area;
        size_t sections;
        size_t section;  // the section holding the known byte
        size_t sectionSize;
        size_t address;  // of that section
        size_t byte;     // index within it
        uint8_t value;
    };
    // Factory state: 138 key positions (0x8a), Esc's code 0x29 at position 1 (after the
    // macro key G1), LED 0 at position 0,
    // profile 1's green channel, slots and frame empty, battery full, host lighting off.
    const Case cases[] = {
        {"info", 1, 0, 34, 0, 5, 0x8a},          {"keytable", 3, 0, 512, 0, 5, 0x29},
        {"keytable", 3, 2, 512, 0, 5, 0x29},     {"ledtable", 1, 0, 512, 0, 0, 0x00},
        {"ledtable", 1, 0, 512, 0, 511, kNoLed}, {"params", 3, 1, 42, 42, 7, 0xFF},
        {"params", 3, 2, 42, 84, 0, 0x02},       {"colors", 8, 7, 512, 7 * 512, 0, 0x00},
        {"macros", 1, 0, 16 * 128, 0, 0, 0x00},  {"frame", 1, 0, 512, 0, 0, 0x00},
        {"power", 1, 0, 6, 0, 0, 100},           {"host-lighting", 1, 0, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        const MemoryArea area = Area(c.area);
        ASSERT_EQ(area.sections.size(), c.sections);
        const MemorySection& section = area.sections[c.section];
        EXPECT_EQ(section.bytes.size(), c.sectionSize);
        EXPECT_EQ(section.address, c.address);
        ASSERT_LT(c.byte, section.bytes.size());
        EXPECT_EQ(section.bytes[c.byte], c.value);
        EXPECT_FALSE(area.description.empty());
    }
    const MemoryArea info = Area("info");
    EXPECT_EQ(ValueOf(info, "keyPositions"), static_cast<int64_t>(kMatrixPositions));
    EXPECT_EQ(ValueOf(info, "profiles"), 3);
    EXPECT_EQ(ValueOf(info, "macroUnits"), 16);
    EXPECT_EQ(ValueOf(Area("params"), "currentProfile"), 0);
    EXPECT_EQ(ValueOf(Area("power"), "batteryPercent"), 100);
    // Every position with a key has an LED, and no other.
    int64_t keyed = 0;
    for (const auto& row : kKeyMatrix) {
        keyed += std::count_if(row.begin(), row.end(), [](int key) { return key != kNoKey; });
    }
    EXPECT_EQ(ValueOf(Area("ledtable"), "leds"), keyed);
}

TEST_F(DeviceMemoryTest, BytesWrittenByCommandsShowInTheirAreas) {
    Command(kCmdWriteParameters, 2, 42 + 5, {0x00, 0x7e});  // profile 1, bytes 5-6
    Command(kCmdWriteParameters, 1, 0, {2});                // current profile 2
    Command(kCmdWriteKeyTable, 3, 30, {0x20, 0x00, 0x04});
    Command(kCmdWriteFnKeyTable, 1, 509, {0x33});
    Command(kCmdWriteLightTable, 3, 3 * 512 + 9, {0x10, 0x20, 0x30});
    Command(kCmdWriteMacroData, 2, 16 * 128 - 2, {0xde, 0xad});
    Command(kCmdStreamLightFrame, 1, 400, {0x77});
    Command(kCmdHostLightControl, 0, 0, {});

    const MemoryArea params = Area("params");
    EXPECT_EQ(params.sections[1].bytes[6], 0x7e);
    EXPECT_EQ(params.sections[1].bytes[5], 0x00);
    EXPECT_EQ(ValueOf(params, "currentProfile"), 2);
    EXPECT_EQ(params.sections[0].bytes[0], 2);

    const MemoryArea keys = Area("keytable");
    EXPECT_EQ(keys.sections[0].bytes[32], 0x04);
    EXPECT_EQ(keys.sections[1].bytes[509], 0x33);
    // The factory table keeps what the keycaps say.
    EXPECT_EQ(keys.sections[2].bytes, bus_.Keyboard().FactoryKeyTable());

    const MemoryArea colors = Area("colors");
    EXPECT_EQ(colors.sections[3].title, "slot 3");
    EXPECT_EQ(colors.sections[3].bytes[10], 0x20);
    EXPECT_EQ(colors.sections[2].bytes, std::vector<uint8_t>(512, 0));

    EXPECT_EQ(Area("macros").sections[0].bytes.back(), 0xad);
    EXPECT_EQ(Area("frame").sections[0].bytes[400], 0x77);
    const MemoryArea host = Area("host-lighting");
    EXPECT_EQ(host.sections[0].bytes, std::vector<uint8_t>{1});
    EXPECT_EQ(ValueOf(host, "hostLighting"), 1);
}

TEST_F(DeviceMemoryTest, ChangesOnTheDeviceShowAsTheyHappen) {
    bus_.Keyboard().SetPowerStatus(42, KeyboardModel::kCharging);
    ASSERT_TRUE(bus_.SelectProfileOnDevice(1));
    ASSERT_TRUE(bus_.Keyboard().SetInfoByte(KeyboardModel::kInfoMacroUnits, 4));
    const MemoryArea power = Area("power");
    EXPECT_EQ(ValueOf(power, "batteryPercent"), 42);
    EXPECT_EQ(ValueOf(power, "chargeState"), KeyboardModel::kCharging);
    EXPECT_EQ(ValueOf(power, "linkType"), 0);
    EXPECT_EQ(ValueOf(Area("params"), "currentProfile"), 1);
    const MemoryArea macros = Area("macros");
    EXPECT_EQ(macros.sections[0].bytes.size(), 4u * 128);
    EXPECT_EQ(ValueOf(macros, "macroBytes"), 4 * 128);
}

TEST_F(DeviceMemoryTest, TheReceiverPathReportsItsLinkAndThePowerStatusOverIt) {
    EXPECT_EQ(ValueOf(Area("power", SimPath::KeyboardReceiver), "linkType"), 1);
    // One keyboard behind both paths.
    Command(kCmdStreamLightFrame, 1, 0, {0x55});
    EXPECT_EQ(Area("frame", SimPath::KeyboardReceiver).sections[0].bytes[0], 0x55);

    EXPECT_EQ(Area("link", SimPath::KeyboardReceiver).sections[0].bytes,
              std::vector<uint8_t>{0xFF});
    bus_.SetKeyboardInReach(false);
    const MemoryArea link = Area("link", SimPath::KeyboardReceiver);
    EXPECT_EQ(link.sections[0].bytes, std::vector<uint8_t>{0x00});
    EXPECT_EQ(ValueOf(link, "inReach"), 0);
    EXPECT_EQ(FindArea(ReadDeviceMemory(bus_, SimPath::KeyboardCable), "link"), nullptr);
}

TEST(DeviceMemoryListTest, TheListingNamesExactlyTheAreasAReadOutHas) {
    SimulatedBus bus(TestIds());
    for (SimPath path : kAllSimPaths) {
        SCOPED_TRACE(SimPathName(path));
        std::vector<std::string> listed;
        for (const MemoryAreaName& area : MemoryAreasOf(path)) listed.push_back(area.name);
        std::vector<std::string> read;
        for (const MemoryArea& area : ReadDeviceMemory(bus, path)) read.push_back(area.name);
        EXPECT_EQ(listed, read);
    }
    std::vector<std::string> keyboard;
    for (const MemoryAreaName& area : MemoryAreasOf(SimPath::KeyboardCable)) {
        keyboard.push_back(area.name);
    }
    EXPECT_EQ(keyboard,
              (std::vector<std::string>{"info", "keytable", "ledtable", "params", "colors",
                                        "macros", "frame", "power", "host-lighting"}));
    // The mouse, the mouse pad and the headset keep nothing.
    EXPECT_TRUE(MemoryAreasOf(SimPath::MouseCable).empty());
    EXPECT_TRUE(MemoryAreasOf(SimPath::Headset).empty());
    EXPECT_EQ(PathsWithMemory(), "keyboard, keyboard-receiver");
}

}  // namespace
}  // namespace rerov::sim::testing
