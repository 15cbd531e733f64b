#include "devices/keyboard/keyboard_device.h"

// Parameter block, system settings and lighting data.

#include <QLoggingCategory>
#include <thread>

#include "devices/keyboard/parameter_block.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace rerov {

static_assert(kParameterBlockSize == keyboard::kBlockSize);

namespace {

Q_LOGGING_CATEGORY(lcKeyboardParams, "rerov.keyboard.params", QtWarningMsg)

bool IsHostModeIndex(int mode) {
    return mode == keyboard::kHostModeIndexA || mode == keyboard::kHostModeIndexB;
}

int ModeIndexOf(const LightSetting& light) { return light.bytes[LightSetting::kMode]; }

}  // namespace

int CZidiraKeyboardDevice::WriteParameterBlock(int slot, int profile, int, int, int) {
    DeviceLink& link = MainLink();
    if (!link.IsConnected()) return kResultNoReply;
    // A slot past the parameter area's addresses cannot be written.
    if (slot < 0 || slot > UINT16_MAX / static_cast<int>(kParameterBlockSize)) {
        return kResultWriteFailed;
    }
    const keyboard::ParameterBytes block =
        keyboard::EncodeParameterBlock(ParameterBlock(), static_cast<uint8_t>(profile),
                                       GetLightSetting(), SystemSettings(), NameLists().modeCodes);

    int result = link.BeginSession();
    if (result != kResultSuccess) return result;
    result = link.WriteParameters(block.data(), block.size(),
                                  static_cast<uint16_t>(slot * kParameterBlockSize));
    const int ended = link.EndSession();
    if (result == kResultSuccess) {
        std::lock_guard<std::mutex> guard(parametersLock_);
        // The device's own bytes may have changed meanwhile (a profile report): keep them.
        const uint8_t field = parameterBlock_[keyboard::kProfileFieldByte];
        parameterBlock_ = block;
        parameterBlock_[keyboard::kProfileFieldByte] = field;
    }
    return result != kResultSuccess ? result : ended;
}

int CZidiraKeyboardDevice::ReadParameterBlock(int* currentProfile) {
    DeviceLink& link = MainLink();
    // The page now follows the device's own lighting, not the synchronised one.
    link.SetLightingSync(false);
    // An unread block never replaces what the object and the profile hold.
    if (!link.IsConnected()) return kResultNoReply;

    uint8_t profile = 0;
    int result = link.ReadParameters(&profile, 1, 0);
    if (result != kResultSuccess) return result;
    keyboard::ParameterBytes block{};
    result = link.ReadParameters(block.data(), block.size(),
                                 static_cast<uint16_t>(profile * kParameterBlockSize));
    if (result != kResultSuccess) return result;

    block[keyboard::kProfileByte] = profile;
    block[keyboard::kZeroByte] = 0;
    currentProfile_.store(profile);
    if (currentProfile != nullptr) *currentProfile = profile;

    LightingState state = GetLightingState();
    const int previousMode = ModeIndexOf(state.setting);
    KeyboardSystemSettings system;
    {
        std::lock_guard<std::mutex> guard(parametersLock_);
        parameterBlock_ = block;
        const keyboard::DecodedParameters decoded = keyboard::DecodeParameterBlock(
            block, state.setting, systemSettings_, NameLists().modeCodes);
        systemSettings_ = decoded.system;
        system = decoded.system;
        state.setting = decoded.light;
    }
    SetLightingState(state);

    const int mode = ModeIndexOf(state.setting);
    if (mode != previousMode || mode == keyboard::kCustomModeIndex) {
        OnModeChanged(mode);
    } else {
        runner_.SetLighting(PreviewLighting());
    }
    // The synchronisation no longer holds the colours: the preview goes on at once.
    runner_.Wake();

    if (ReloadProfileForWrite()) {
        profile_.WriteKeyboardSystem(system);
        profile_.WriteLightInfo(state.setting);
        if (!profile_.Save())
            qCWarning(lcKeyboardParams, "the device's settings could not be saved in the profile");
    }
    return kResultSuccess;
}

std::array<uint8_t, kParameterBlockSize> CZidiraKeyboardDevice::ParameterBlock() const {
    std::lock_guard<std::mutex> guard(parametersLock_);
    return parameterBlock_;
}

void CZidiraKeyboardDevice::SetSystemSettings(uint32_t repeatWord, uint32_t flagWord,
                                              uint32_t lockWord) {
    KeyboardSystemSettings settings;
    settings.words = {repeatWord, flagWord, lockWord};
    {
        std::lock_guard<std::mutex> guard(parametersLock_);
        systemSettings_ = settings;
    }
    profile_.WriteKeyboardSystem(settings);
}

KeyboardSystemSettings CZidiraKeyboardDevice::SystemSettings() const {
    std::lock_guard<std::mutex> guard(parametersLock_);
    return systemSettings_;
}

std::vector<keyboard::LedColour> CZidiraKeyboardDevice::LedColours() const {
    std::vector<keyboard::LedColour> lights(static_cast<size_t>(LightCount()));
    for (int light = 0; light < LightCount(); ++light) {
        lights[static_cast<size_t>(light)] = {LedNumber(light), GetLightColor(light)};
    }
    return lights;
}

int CZidiraKeyboardDevice::WriteCustomSlot(const std::vector<uint8_t>& table) {
    const int slot = GetLightSetting().bytes[LightSetting::kCustomGroup];
    return MainLink().WriteLightTable(table.data(), table.size(), slot, keyboard::kCustomSlotSize);
}

void CZidiraKeyboardDevice::PaintCustomKey(int light, int paletteIndex, int group) {
    const LightSetting setting = GetLightSetting();
    if (ModeIndexOf(setting) != keyboard::kCustomModeIndex) return;
    if (light < 0 || light >= LightCount()) return;
    const uint32_t painted =
        keyboard::ColourWord(setting.bytes[LightSetting::kRed], setting.bytes[LightSetting::kGreen],
                             setting.bytes[LightSetting::kBlue], 0xFF);
    SetLightColor(light, painted);
    // The preview paints the list on its next tick: it must paint this colour too.
    runner_.SetCustomColour(light, painted);
    lastPaletteIndex_ = paletteIndex + 1;
    if (group < 0) return;

    if (ReloadProfileForWrite()) {
        std::vector<KeyColor> colours(static_cast<size_t>(LightCount()));
        for (int j = 0; j < LightCount(); ++j) {
            const uint32_t c = GetLightColor(j);
            colours[static_cast<size_t>(j)] = {keyboard::RedOf(c), keyboard::GreenOf(c),
                                               keyboard::BlueOf(c), keyboard::BrightnessOf(c)};
        }
        if (!profile_.WriteKeyColors(colours, group) || !profile_.Save()) {
            qCWarning(lcKeyboardParams, "the custom colours could not be saved in the profile");
        }
    }
    WriteCustomSlot(keyboard::BuildPaletteMap(LedColours(), KeyPositionCount(),
                                              static_cast<uint8_t>(lastPaletteIndex_)));
}

void CZidiraKeyboardDevice::FillCustomSlot() {
    if (ModeIndexOf(GetLightSetting()) != keyboard::kCustomModeIndex) return;
    const int result =
        WriteCustomSlot(keyboard::BuildFilledPaletteMap(static_cast<uint8_t>(lastPaletteIndex_)));
    if (result != kResultSuccess && MainLink().IsConnected()) PauseAfterFailedLightWrite();
}

void CZidiraKeyboardDevice::WriteCustomColors() {
    if (!ReloadProfileForWrite()) return;
    const std::vector<KeyColor> colours =
        profile_.ReadKeyColors(profile_.ReadCustomGroupIndex(), LightCount());
    for (int light = 0; light < LightCount() && static_cast<size_t>(light) < colours.size();
         ++light) {
        const KeyColor& c = colours[static_cast<size_t>(light)];
        SetLightColor(light, keyboard::ColourWord(c.red, c.green, c.blue, c.alpha));
    }
    runner_.SetCustomColours(CustomGroupColours());
    const std::vector<uint8_t> table = keyboard::BuildRgbTable(LedColours(), KeyPositionCount());
    if (table.empty()) return;
    const int result = WriteCustomSlot(table);
    if (result != kResultSuccess && MainLink().IsConnected()) PauseAfterFailedLightWrite();
}

void CZidiraKeyboardDevice::StreamLightFrame() {
    if (HostLighting() == 0) return;
    // The page is painted only while somebody can see it.
    if (PreviewVisible()) {
        if (FunctionTab() == 1) {
            CZidiraUSBDevice::StreamLightFrame();
        } else if (DevicePageView* view = View()) {
            // Off the lighting tab the picture shows the keys, not the lights.
            view->PaintLights(std::vector<uint32_t>(static_cast<size_t>(LightCount()), 0));
        }
    }
    // In the host-driven modes the device shows these frames, seen on screen or not.
    if (!IsHostModeIndex(ModeIndexOf(GetLightSetting()))) return;
    const std::vector<uint8_t> frame = keyboard::BuildRgbTable(LedColours(), KeyPositionCount());
    if (frame.empty()) return;
    // A frame that finds the previous one still going out is dropped, not queued: the next
    // one carries newer colours anyway.
    if (frameInFlight_.exchange(true)) {
        CountLightFrame(false);
        return;
    }
    DeviceLink& link = MainLink();
    const int result = link.StreamLightFrame(frame.data(), frame.size());
    frameInFlight_.store(false);
    if (result == kResultSuccess) CountLightFrame(true);
    if (result != kResultSuccess && link.IsConnected()) PauseAfterFailedLightWrite();
}

void CZidiraKeyboardDevice::PauseAfterFailedLightWrite() {
    std::this_thread::sleep_for(kFailedLightWritePause);
}

void CZidiraKeyboardDevice::SetHostLighting(int on) {
    CZidiraUSBDevice::SetHostLighting(on);
    // An unconnected link refuses the command unsent, so no check is needed here.
    if (on != 0) MainLink().HostLightControl();
}

}  // namespace rerov
