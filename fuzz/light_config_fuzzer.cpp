// The light configuration "zired_light.config" of a profile folder: loaded as the program
// loads it, then the custom effect of every light mode is looked up through it (an effect
// file "fx.light" lies beside it, so entries that name it are followed to the end).

#include "fuzz/scratch_folder.h"
#include "profiles/basic_profile_data.h"
#include "profiles/profile_folders.h"

namespace {

constexpr const char* kEffect =
    R"({"LEDEffectList": [{"LEDREGMode": 2, "LEDBrightness": 4, "LEDSpeed": 1, "LEDDirection": 1,
        "LEDMultiColor": 0, "red": 9, "green": 2, "blue": 3, "Time": 1500, "Cyle": 4}]})";
constexpr int kModesTried = 24;
constexpr int kSlotsTried = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const bool effectWritten = [] {
        rerov::fuzz::WriteScratchText(rerov::fuzz::ScratchFolder() / "fx.light", kEffect);
        return true;
    }();
    (void)effectWritten;
    const std::filesystem::path config = rerov::LightConfigPath(rerov::fuzz::ScratchFolder());
    rerov::fuzz::WriteScratchFile(config, bytes, size);

    rerov::CBasicProfiledata data;
    data.SetLightConfigPath(config);
    data.LoadLightConfig(config);
    for (int slot = -1; slot < kSlotsTried; ++slot) {
        data.SetDeviceSlot(slot);
        for (int mode = 0; mode < kModesTried; ++mode) {
            rerov::LightSetting light;
            light.bytes[rerov::LightSetting::kMode] = static_cast<std::uint8_t>(mode);
            data.WriteLightInfo(light);
            data.ReadCustomEffect();
        }
    }
    return 0;
}
