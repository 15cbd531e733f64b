#pragma once
// The keyboard's firmware as the simulator models it: its device memory and its answer to
// every command report. One object stands for one keyboard, reached by cable or through
// its receiver. Thread-safe: every call locks the model.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sim/command_frame.h"

namespace rerov::sim {

// Which way a command reached the keyboard.
enum class KeyboardLink { Cable, Receiver };

// A copy of the whole device memory taken under one lock, so that its parts agree with each
// other: no command ran between copying two of them.
struct KeyboardMemory {
    std::vector<uint8_t> info;
    std::vector<uint8_t> factoryKeyTable;
    std::vector<uint8_t> keyTable;
    std::vector<uint8_t> fnKeyTable;
    std::vector<uint8_t> ledTable;
    std::vector<uint8_t> parameters;   // every profile's block, flat
    std::vector<uint8_t> customSlots;  // every slot, flat
    std::vector<uint8_t> macros;       // the macro units in use × 128 bytes
    std::vector<uint8_t> lightFrame;
    std::vector<uint8_t> powerStatus;  // as the keyboard reports it over the link asked for
    bool hostLighting = false;
    bool sessionOpen = false;
};

class KeyboardModel {
  public:
    static constexpr size_t kInfoBlockSize = 34;
    static constexpr size_t kInfoKeyPositionCount = 5;  // info byte: key positions
    static constexpr size_t kInfoMacroUnits = 6;        // info byte: macro memory / 128
    static constexpr size_t kMacroUnitBytes = 128;
    static constexpr size_t kTableSize = 512;  // key, Fn key and LED tables: one page each
    static constexpr size_t kParameterBlockSize = 42;
    static constexpr size_t kProfileCount = 3;
    static constexpr size_t kParameterAreaSize = kParameterBlockSize * kProfileCount;
    static constexpr size_t kCustomSlotSize = 512;
    static constexpr size_t kCustomSlotCount = 8;
    static constexpr size_t kLightFrameSize = 512;
    static constexpr size_t kPowerStatusSize = 6;
    static constexpr uint8_t kDefaultMacroUnits = 16;
    // The receiver carries at most this many payload bytes per report; a longer chunk is
    // refused (status 0xFE) as a real receiver refuses it.
    static constexpr size_t kReceiverMaxPayload = 24;
    // The battery moves one percent per this many power-status reads: down while the
    // keyboard runs on battery, up while the cable charges it. The host polls every 5 s,
    // so that is about one percent a minute.
    static constexpr unsigned kStatusReadsPerPercent = 12;

    // Charge states of the power status.
    static constexpr uint8_t kPowered = 0;
    static constexpr uint8_t kCharging = 1;
    static constexpr uint8_t kOnBattery = 2;

    KeyboardModel();
    KeyboardModel(const KeyboardModel&) = delete;
    KeyboardModel& operator=(const KeyboardModel&) = delete;

    // Answers one command report that reached the keyboard. A bad checksum and an unknown
    // command give status 0xFF; a length or offset outside the addressed memory, or a
    // payload longer than the link carries (kReceiverMaxPayload through the receiver),
    // gives status 0xFE and changes nothing.
    Frame Handle(const Frame& request, KeyboardLink link);

    // Copies of the device memory, for tests that assert on what the host wrote.
    std::array<uint8_t, kInfoBlockSize> InfoBlock() const;
    uint8_t KeyPositionCount() const;
    std::vector<uint8_t> FactoryKeyTable() const;  // kTableSize bytes
    std::vector<uint8_t> LedTable() const;         // kTableSize bytes
    std::vector<uint8_t> KeyTable() const;         // written with command 0x09
    std::vector<uint8_t> FnKeyTable() const;       // written with command 0x27
    std::vector<uint8_t> ParameterArea() const;    // kParameterAreaSize bytes, flat
    // One onboard profile's 42-byte parameter block; empty for a profile out of range.
    std::vector<uint8_t> ParameterBlock(size_t profile) const;
    uint8_t CurrentProfile() const;  // byte 0 of the parameter area
    // One custom-colour slot; empty for a slot out of range.
    std::vector<uint8_t> CustomColorSlot(size_t slot) const;
    std::vector<uint8_t> MacroArea() const;  // macro units × 128 bytes
    std::vector<uint8_t> LightFrame() const;
    // The power status as the keyboard reports it over the given link (byte 3 = link type).
    std::array<uint8_t, kPowerStatusSize> PowerStatus(KeyboardLink link) const;
    bool HostLighting() const;  // set by command 0x1C
    bool SessionOpen() const;   // between 0x01 and 0x02
    // Count of commands answered with each command byte (checksum failures not counted).
    unsigned CommandCount(uint8_t command) const;
    // All of the above at one instant, the power status as reported over `link`.
    KeyboardMemory Snapshot(KeyboardLink link) const;

    // Changes "on the device", for tests and demos.
    // Pins the power status to these values on every link; the battery model stops until
    // ResetMemory.
    void SetPowerStatus(uint8_t batteryPercent, uint8_t chargeState);
    // Whether the keyboard's cable is plugged in (the bus tells it): on the cable the
    // keyboard is powered and charges (charge state 1 below 100 %, 0 when full); without it
    // it runs on battery (charge state 2) and the level drains.
    void SetCableAttached(bool attached);
    // Sets one byte of an onboard profile's parameter block as the keyboard's own controls
    // would (the profile key, a lighting key). False outside the parameter area, or when
    // byte 0 would name a profile the keyboard does not have.
    bool SetParameterByte(size_t offset, uint8_t value);
    // The profile key on the keyboard: selects onboard profile n (below kProfileCount).
    bool SetCurrentProfile(uint8_t profile);
    // Overwrites one byte of the information block (a device with another geometry or
    // macro memory size); macro writes follow a changed macro unit count.
    bool SetInfoByte(size_t index, uint8_t value);
    // Back to the factory state.
    void ResetMemory();

  private:
    Frame Dispatch(const Frame& request, KeyboardLink link);
    Frame ReadFrom(const Frame& request, const uint8_t* memory, size_t size) const;
    Frame WriteTo(const Frame& request, uint8_t* memory, size_t size);
    Frame WriteParameters(const Frame& request);
    size_t MacroAreaSize() const;
    std::array<uint8_t, kPowerStatusSize> PowerStatusLocked(KeyboardLink link) const;
    void ResetLocked();

    mutable std::mutex mutex_;
    std::array<uint8_t, kInfoBlockSize> info_{};
    std::vector<uint8_t> factoryKeyTable_;
    std::vector<uint8_t> ledTable_;
    std::vector<uint8_t> keyTable_;
    std::vector<uint8_t> fnKeyTable_;
    std::vector<uint8_t> parameters_;
    std::vector<uint8_t> customSlots_;
    std::vector<uint8_t> macros_;  // sized for the largest unit count (255 × 128)
    std::vector<uint8_t> lightFrame_;
    bool OnCableLocked(KeyboardLink link) const;
    void StepBatteryLocked(KeyboardLink link);

    uint8_t batteryPercent_ = 100;
    uint8_t chargeState_ = kPowered;
    bool powerPinned_ = false;    // SetPowerStatus was called: no battery model
    bool cableAttached_ = false;  // powered by the cable
    unsigned statusReads_ = 0;    // power-status reads since the level last moved
    bool hostLighting_ = false;
    bool sessionOpen_ = false;
    std::array<unsigned, 256> commandCounts_{};
};

}  // namespace rerov::sim
