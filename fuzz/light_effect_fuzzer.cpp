// A custom light effect file "<Guid>.light", reached the way the program reaches it: the
// current light mode selects an entry of the light configuration, whose "Guid" names the
// file beside it.

#include "fuzz/scratch_folder.h"
#include "profiles/basic_profile_data.h"
#include "profiles/profile_folders.h"

namespace {

constexpr const char* kConfig = R"({"LightInfo": [[{"LightName": "a", "Guid": "fx"}]]})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::filesystem::path config = rerov::LightConfigPath(rerov::fuzz::ScratchFolder());
    static const bool configWritten = [&config] {
        rerov::fuzz::WriteScratchText(config, kConfig);
        return true;
    }();
    (void)configWritten;
    rerov::fuzz::WriteScratchFile(rerov::fuzz::ScratchFolder() / "fx.light", bytes, size);

    rerov::CBasicProfiledata data;
    data.SetLightConfigPath(config);
    data.LoadLightConfig(config);
    data.WriteLightInfo(rerov::LightSetting{});
    data.ReadCustomEffect();
    return 0;
}
