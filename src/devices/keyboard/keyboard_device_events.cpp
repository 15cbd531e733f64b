#include "devices/keyboard/keyboard_device.h"

// Device events, input threads and power status.

#include "device_link/supported_devices.h"
#include "devices/keyboard/keyboard_event_codes.h"
#include "devices/keyboard/parameter_block.h"

namespace rerov {
namespace {

// The sync timer's delay after the device reported a change of its own.
constexpr int kSyncDelayMs = 50;

// The lighting modes whose preview reacts to key presses.
constexpr std::array<int, 4> kReactiveModes{25, 8, 7, 9};

bool IsCableSlot(int kind) { return kind == kKindKeyboard || kind == kKindMouse; }
bool IsReceiverSlot(int kind) {
    return kind == kKindKeyboardReceiver || kind == kKindMouseReceiver;
}

}  // namespace

CZidiraKeyboardDevice::~CZidiraKeyboardDevice() {
    // The threads call into this object: they end before anything of it goes.
    StopAnimation();
    if (cableReader_) cableReader_->Stop();
    if (receiverReader_) receiverReader_->Stop();
}

std::unique_ptr<InputReportReader>& CZidiraKeyboardDevice::ReaderOf(int kind) {
    return IsReceiverSlot(kind) ? receiverReader_ : cableReader_;
}

void CZidiraKeyboardDevice::OpenSecondary(const std::string& path, int kind) {
    if (!IsCableSlot(kind) && !IsReceiverSlot(kind)) return;
    CloseSecondary(kind);
    CZidiraUSBDevice::OpenSecondary(path, kind);
    std::unique_ptr<InputReportReader>& reader = ReaderOf(kind);
    reader = std::make_unique<InputReportReader>(SecondaryLink(), IsReceiverSlot(kind),
                                                 [this](uint16_t code) { HandleEventCode(code); });
    reader->Start();
}

void CZidiraKeyboardDevice::CloseSecondary(int kind) {
    if (!IsCableSlot(kind) && !IsReceiverSlot(kind)) return;
    std::unique_ptr<InputReportReader>& reader = ReaderOf(kind);
    if (reader) {
        reader->Stop();
        reader.reset();
    }
    CZidiraUSBDevice::CloseSecondary(kind);
}

bool CZidiraKeyboardDevice::IsInputThreadRunning(int kind) const {
    const std::unique_ptr<InputReportReader>& reader =
        IsReceiverSlot(kind) ? receiverReader_ : cableReader_;
    return (IsCableSlot(kind) || IsReceiverSlot(kind)) && reader && reader->IsRunning();
}

void CZidiraKeyboardDevice::SetProfileListReload(std::function<void()> reload) {
    profileListReload_ = std::move(reload);
}

void CZidiraKeyboardDevice::HandleEventCode(uint16_t code) {
    const keyboard::DeviceEvent event = keyboard::DecodeEventCode(code);
    switch (event.kind) {
        case keyboard::EventKind::ProfileDataChanged:
            SetProfileReloadMarker(kProfileReloadMarker);
            [[fallthrough]];
        case keyboard::EventKind::ConfigChanged:
            if (DeviceListEntry* entry = ListEntry()) entry->RequestSync(kSyncDelayMs);
            break;
        case keyboard::EventKind::KeyPressed:
            OnKeyEvent(event.position, keyboard::kKeyPress);
            break;
        case keyboard::EventKind::KeyReleased:
            OnKeyEvent(event.position, keyboard::kKeyRelease);
            break;
        case keyboard::EventKind::ProfileReport:
            OnProfileReport(code);
            break;
        case keyboard::EventKind::KeepAlive:
        case keyboard::EventKind::Unknown:
            break;
    }
}

void CZidiraKeyboardDevice::OnSyncRequest() {
    if (ProfileReloadMarker() == kProfileReloadMarker) {
        if (profileListReload_) profileListReload_();
        ApplyProfile();
        ClearKeyMarks();
        SetProfileReloadMarker(0);
    }
    ReadParameterBlock();
    ShowSettings();
}

void CZidiraKeyboardDevice::OnKeyEvent(int position, int action) {
    if (position < 0 || position > UINT8_MAX) return;
    const int key = KeyAtPosition(*PositionMapsSnapshot(), static_cast<uint8_t>(position));
    if (key < 0 || key >= kKeyboardKeyCount) return;
    const int mode = GetLightSetting().bytes[LightSetting::kMode];
    for (int reactive : kReactiveModes) {
        if (mode == reactive) {
            ReactiveKeyStep(mode, key, action);
            return;
        }
    }
}

void CZidiraKeyboardDevice::OnProfileReport(uint16_t code) {
    if (!MainLink().IsConnected()) return;
    const keyboard::DeviceEvent event = keyboard::DecodeEventCode(code);
    if (event.kind != keyboard::EventKind::ProfileReport) return;
    currentProfile_.store(event.profile);
    if (event.field >= 0) {
        std::lock_guard<std::mutex> guard(parametersLock_);
        parameterBlock_[keyboard::kProfileFieldByte] = static_cast<uint8_t>(event.field);
    }
    // Widgets belong to the UI thread: the settings are shown there, not on this thread.
    OnUiThread([this] { ShowSettings(); });
}

void CZidiraKeyboardDevice::ReadPowerStatus() {
    DeviceLink& link = MainLink();
    if (!link.IsConnected() || StatusHold() || !link.QueryReceiverLink()) return;
    std::array<uint8_t, kPowerStatusSize> status{};
    if (link.ReadStatus(status.data(), status.size(), 0) != kResultSuccess) return;
    // The link type is the host's knowledge, not the device's.
    status[3] = link.IsReceiver() ? 1 : 0;
    {
        std::lock_guard<std::mutex> guard(powerLock_);
        powerStatus_ = status;
    }
    if (DevicePageView* view = View()) view->ShowPowerStatus(status);
}

std::array<uint8_t, kPowerStatusSize> CZidiraKeyboardDevice::PowerStatus() const {
    std::lock_guard<std::mutex> guard(powerLock_);
    return powerStatus_;
}

int CZidiraKeyboardDevice::IsReceiverLinkAlive() {
    DeviceLink& link = MainLink();
    return link.IsConnected() && link.IsReceiver() && link.QueryReceiverLink() ? 1 : 0;
}

}  // namespace rerov
