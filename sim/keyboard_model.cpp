#include "sim/keyboard_model.h"

#include <algorithm>
#include <cstring>

#include "sim/keyboard_layout.h"

namespace rerov::sim {

namespace {

constexpr uint8_t kStatusOk = 0x00;
constexpr uint8_t kLinkAlive = 0xFF;  // reply byte 8 of 0xAA while the keyboard answers
constexpr size_t kMaxMacroAreaSize = 255 * KeyboardModel::kMacroUnitBytes;

// Bytes of the information block other than the geometry, as this firmware fills them.
struct InfoByte {
    size_t index;
    uint8_t value;
};
constexpr InfoByte kInfoDefaults[] = {
    {0, 0x01},
    {1, 0x05},  // firmware version 1.05
    {2, 0x01},  // block layout revision
    {4, static_cast<uint8_t>(KeyboardModel::kProfileCount)},
    {KeyboardModel::kInfoKeyPositionCount, static_cast<uint8_t>(kMatrixPositions)},
    {KeyboardModel::kInfoMacroUnits, KeyboardModel::kDefaultMacroUnits},
    {7, static_cast<uint8_t>(KeyboardModel::kCustomSlotCount)},
};

// Factory parameter block of one onboard profile. Bytes the host never interprets carry
// non-zero device data so that a host which fails to write them back is noticed.
std::array<uint8_t, KeyboardModel::kParameterBlockSize> FactoryParameterBlock(uint8_t profile) {
    static constexpr uint8_t kColours[KeyboardModel::kProfileCount][3] = {
        {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF}};
    std::array<uint8_t, KeyboardModel::kParameterBlockSize> block{};
    block[0] = profile;
    block[1] = 0x01;  // lighting mode code
    block[2] = 0x04;  // brightness
    block[3] = 0x02;  // 4 - speed
    block[5] = 0x01;  // multi-colour
    block[6] = kColours[profile][0];
    block[7] = kColours[profile][1];
    block[8] = kColours[profile][2];
    for (size_t i = 9; i <= 15; ++i) block[i] = static_cast<uint8_t>(0x90 + i);
    block[22] = 0x03;  // polling rate
    block[23] = 0x5A;
    block[24] = 0xA5;
    for (size_t i = 26; i < block.size(); ++i) block[i] = static_cast<uint8_t>(0x40 + i);
    return block;
}

}  // namespace

KeyboardModel::KeyboardModel() { ResetLocked(); }

void KeyboardModel::ResetMemory() {
    std::lock_guard lock(mutex_);
    ResetLocked();
}

void KeyboardModel::ResetLocked() {
    info_.fill(0);
    for (const InfoByte& entry : kInfoDefaults) info_[entry.index] = entry.value;

    factoryKeyTable_ = BuildFactoryKeyTable();
    factoryKeyTable_.resize(kTableSize, 0);
    ledTable_ = BuildLedTable();
    ledTable_.resize(kTableSize, kNoLed);
    keyTable_ = factoryKeyTable_;  // until the host writes, keys do what the keycaps say
    fnKeyTable_.assign(kTableSize, 0);

    parameters_.clear();
    for (size_t profile = 0; profile < kProfileCount; ++profile) {
        const auto block = FactoryParameterBlock(static_cast<uint8_t>(profile));
        parameters_.insert(parameters_.end(), block.begin(), block.end());
    }
    customSlots_.assign(kCustomSlotSize * kCustomSlotCount, 0);
    macros_.assign(kMaxMacroAreaSize, 0);
    lightFrame_.assign(kLightFrameSize, 0);
    batteryPercent_ = 100;
    chargeState_ = kPowered;
    powerPinned_ = false;
    statusReads_ = 0;
    hostLighting_ = false;
    sessionOpen_ = false;
    commandCounts_.fill(0);
}

Frame KeyboardModel::Handle(const Frame& request, KeyboardLink link) {
    std::lock_guard lock(mutex_);
    if (!ChecksumMatches(request)) return StatusReply(request, kStatusError);
    ++commandCounts_[request[kReportCommandOffset]];
    // The receiver's radio frame has room for fewer payload bytes than a cable report.
    if (link == KeyboardLink::Receiver && ReadRequest(request).length > kReceiverMaxPayload) {
        return StatusReply(request, kStatusRefused);
    }
    return Dispatch(request, link);
}

Frame KeyboardModel::Dispatch(const Frame& request, KeyboardLink link) {
    switch (ReadRequest(request).command) {
        case kCmdBeginSession:
            sessionOpen_ = true;
            return StatusReply(request, kStatusOk);
        case kCmdEndSession:
            sessionOpen_ = false;
            return StatusReply(request, kStatusOk);
        case kCmdReadDeviceInfo:
            return ReadFrom(request, info_.data(), info_.size());
        case kCmdReadParameters:
            return ReadFrom(request, parameters_.data(), parameters_.size());
        case kCmdWriteParameters:
            return WriteParameters(request);
        case kCmdReadKeyTable:
            // The read-out learns the geometry from the factory codes, so this always
            // answers with the factory table, whatever the host has written since.
            return ReadFrom(request, factoryKeyTable_.data(), factoryKeyTable_.size());
        case kCmdWriteKeyTable:
            return WriteTo(request, keyTable_.data(), keyTable_.size());
        case kCmdWriteLightTable:
            return WriteTo(request, customSlots_.data(), customSlots_.size());
        case kCmdStreamLightFrame:
            return WriteTo(request, lightFrame_.data(), lightFrame_.size());
        case kCmdWriteMacroData:
            return WriteTo(request, macros_.data(), MacroAreaSize());
        case kCmdReadStatus: {
            const auto status = PowerStatusLocked(link);
            const Frame reply = ReadFrom(request, status.data(), status.size());
            if (reply[kReportStatusOffset] == kStatusOk) StepBatteryLocked(link);
            return reply;
        }
        case kCmdReadLedTable:
            return ReadFrom(request, ledTable_.data(), ledTable_.size());
        case kCmdHostLightControl:
            hostLighting_ = true;
            return StatusReply(request, kStatusOk);
        case kCmdWriteFnKeyTable:
            return WriteTo(request, fnKeyTable_.data(), fnKeyTable_.size());
        case kCmdQueryReceiverLink: {
            Frame reply = StartReply(request, kStatusOk);
            reply[kReportPayloadOffset] = kLinkAlive;
            SealReply(&reply);
            return reply;
        }
        default:
            return StatusReply(request, kStatusError);
    }
}

Frame KeyboardModel::ReadFrom(const Frame& request, const uint8_t* memory, size_t size) const {
    const RequestFields fields = ReadRequest(request);
    if (fields.length > kMaxReportPayload || size_t{fields.offset} + fields.length > size) {
        return StatusReply(request, kStatusRefused);
    }
    Frame reply = StartReply(request, kStatusOk);
    std::memcpy(reply.data() + kReportPayloadOffset, memory + fields.offset, fields.length);
    SealReply(&reply);
    return reply;
}

Frame KeyboardModel::WriteTo(const Frame& request, uint8_t* memory, size_t size) {
    const RequestFields fields = ReadRequest(request);
    if (fields.length > kMaxReportPayload || size_t{fields.offset} + fields.length > size) {
        return StatusReply(request, kStatusRefused);
    }
    std::memcpy(memory + fields.offset, fields.payload, fields.length);
    return StatusReply(request, kStatusOk);
}

Frame KeyboardModel::WriteParameters(const Frame& request) {
    const RequestFields fields = ReadRequest(request);
    // Byte 0 of the area selects the active profile; a number the keyboard does not have
    // would make every later read-out of the active block fail, so it is refused.
    if (fields.offset == 0 && fields.length > 0 && fields.payload[0] >= kProfileCount) {
        return StatusReply(request, kStatusRefused);
    }
    return WriteTo(request, parameters_.data(), parameters_.size());
}

size_t KeyboardModel::MacroAreaSize() const {
    return size_t{info_[kInfoMacroUnits]} * kMacroUnitBytes;
}

std::array<uint8_t, KeyboardModel::kInfoBlockSize> KeyboardModel::InfoBlock() const {
    std::lock_guard lock(mutex_);
    return info_;
}

uint8_t KeyboardModel::KeyPositionCount() const {
    std::lock_guard lock(mutex_);
    return info_[kInfoKeyPositionCount];
}

std::vector<uint8_t> KeyboardModel::FactoryKeyTable() const {
    std::lock_guard lock(mutex_);
    return factoryKeyTable_;
}

std::vector<uint8_t> KeyboardModel::LedTable() const {
    std::lock_guard lock(mutex_);
    return ledTable_;
}

std::vector<uint8_t> KeyboardModel::KeyTable() const {
    std::lock_guard lock(mutex_);
    return keyTable_;
}

std::vector<uint8_t> KeyboardModel::FnKeyTable() const {
    std::lock_guard lock(mutex_);
    return fnKeyTable_;
}

std::vector<uint8_t> KeyboardModel::ParameterArea() const {
    std::lock_guard lock(mutex_);
    return parameters_;
}

std::vector<uint8_t> KeyboardModel::ParameterBlock(size_t profile) const {
    std::lock_guard lock(mutex_);
    if (profile >= kProfileCount) return {};
    const auto begin = parameters_.begin() + static_cast<ptrdiff_t>(profile * kParameterBlockSize);
    return {begin, begin + kParameterBlockSize};
}

uint8_t KeyboardModel::CurrentProfile() const {
    std::lock_guard lock(mutex_);
    return parameters_[0];
}

std::vector<uint8_t> KeyboardModel::CustomColorSlot(size_t slot) const {
    std::lock_guard lock(mutex_);
    if (slot >= kCustomSlotCount) return {};
    const auto begin = customSlots_.begin() + static_cast<ptrdiff_t>(slot * kCustomSlotSize);
    return {begin, begin + kCustomSlotSize};
}

std::vector<uint8_t> KeyboardModel::MacroArea() const {
    std::lock_guard lock(mutex_);
    return {macros_.begin(), macros_.begin() + static_cast<ptrdiff_t>(MacroAreaSize())};
}

std::vector<uint8_t> KeyboardModel::LightFrame() const {
    std::lock_guard lock(mutex_);
    return lightFrame_;
}

std::array<uint8_t, KeyboardModel::kPowerStatusSize> KeyboardModel::PowerStatus(
    KeyboardLink link) const {
    std::lock_guard lock(mutex_);
    return PowerStatusLocked(link);
}

std::array<uint8_t, KeyboardModel::kPowerStatusSize> KeyboardModel::PowerStatusLocked(
    KeyboardLink link) const {
    std::array<uint8_t, kPowerStatusSize> status{};
    status[0] = batteryPercent_;
    if (powerPinned_) {
        status[1] = chargeState_;
    } else if (OnCableLocked(link)) {
        status[1] = batteryPercent_ < 100 ? kCharging : kPowered;
    } else {
        status[1] = kOnBattery;
    }
    status[3] = link == KeyboardLink::Receiver ? 1 : 0;  // link type
    return status;
}

bool KeyboardModel::HostLighting() const {
    std::lock_guard lock(mutex_);
    return hostLighting_;
}

bool KeyboardModel::SessionOpen() const {
    std::lock_guard lock(mutex_);
    return sessionOpen_;
}

unsigned KeyboardModel::CommandCount(uint8_t command) const {
    std::lock_guard lock(mutex_);
    return commandCounts_[command];
}

KeyboardMemory KeyboardModel::Snapshot(KeyboardLink link) const {
    std::lock_guard lock(mutex_);
    KeyboardMemory memory;
    memory.info.assign(info_.begin(), info_.end());
    memory.factoryKeyTable = factoryKeyTable_;
    memory.keyTable = keyTable_;
    memory.fnKeyTable = fnKeyTable_;
    memory.ledTable = ledTable_;
    memory.parameters = parameters_;
    memory.customSlots = customSlots_;
    memory.macros.assign(macros_.begin(),
                         macros_.begin() + static_cast<ptrdiff_t>(MacroAreaSize()));
    memory.lightFrame = lightFrame_;
    const auto status = PowerStatusLocked(link);
    memory.powerStatus.assign(status.begin(), status.end());
    memory.hostLighting = hostLighting_;
    memory.sessionOpen = sessionOpen_;
    return memory;
}

void KeyboardModel::SetPowerStatus(uint8_t batteryPercent, uint8_t chargeState) {
    std::lock_guard lock(mutex_);
    batteryPercent_ = std::min<uint8_t>(batteryPercent, 100);
    chargeState_ = chargeState;
    powerPinned_ = true;
}

void KeyboardModel::SetCableAttached(bool attached) {
    std::lock_guard lock(mutex_);
    if (cableAttached_ != attached) statusReads_ = 0;
    cableAttached_ = attached;
}

bool KeyboardModel::OnCableLocked(KeyboardLink link) const {
    // A keyboard that answers over its cable is powered by it, whatever the bus said.
    return cableAttached_ || link == KeyboardLink::Cable;
}

void KeyboardModel::StepBatteryLocked(KeyboardLink link) {
    if (powerPinned_) return;
    const bool cable = OnCableLocked(link);
    const bool full = batteryPercent_ >= 100;
    // An empty battery stops at 1 %: the keyboard would switch off rather than report 0.
    const bool empty = batteryPercent_ <= 1;
    if ((cable && full) || (!cable && empty)) {
        statusReads_ = 0;
        return;
    }
    if (++statusReads_ < kStatusReadsPerPercent) return;
    statusReads_ = 0;
    batteryPercent_ =
        static_cast<uint8_t>(cableAttached_ ? batteryPercent_ + 1 : batteryPercent_ - 1);
}

bool KeyboardModel::SetParameterByte(size_t offset, uint8_t value) {
    std::lock_guard lock(mutex_);
    if (offset >= parameters_.size()) return false;
    if (offset == 0 && value >= kProfileCount) return false;
    parameters_[offset] = value;
    return true;
}

bool KeyboardModel::SetCurrentProfile(uint8_t profile) {
    std::lock_guard lock(mutex_);
    if (profile >= kProfileCount) return false;
    parameters_[0] = profile;
    return true;
}

bool KeyboardModel::SetInfoByte(size_t index, uint8_t value) {
    std::lock_guard lock(mutex_);
    if (index >= info_.size()) return false;
    info_[index] = value;
    return true;
}

}  // namespace rerov::sim
