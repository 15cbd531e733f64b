// A profile document of one family, as the profile file the program loads: every section
// reader runs on it, every writer writes back what was read, and the save must leave a
// file that reads again. Built once per family (REROV_FUZZ_FAMILY: the family folder name).

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fuzz/scratch_folder.h"
#include "profiles/json_file_io.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/ri6533_profile_data.h"

namespace {

using rerov::CBasicProfiledata;

constexpr const char* kFamily = REROV_FUZZ_FAMILY;

void ExerciseCommon(CBasicProfiledata& data) {
    data.WriteLightInfo(data.ReadLightInfo());
    data.WriteAudioLightInfo(data.ReadAudioLightInfo());
    data.ReadLightList();
    data.WriteKeyList(data.ReadKeyList());
}

void ExerciseFamily(rerov::CKeyboardProfiledata& data) {
    data.WriteKeyboardSystem(data.ReadKeyboardSystem());
    data.WriteCustomGroupIndex(data.ReadCustomGroupIndex());
    for (int group = 0; group < 3; ++group) {
        data.WriteKeyColors(data.ReadKeyColors(group, 8), group);
    }
}

void ExerciseFamily(rerov::CMouseProfiledata& data) {
    data.WriteDpiStages(data.ReadDpiStages());
    data.SetActiveStage(data.GetActiveStage());
    data.WriteMouseSystem(data.ReadMouseSystem());
    data.ReadCorrectPresets();
}

rerov::CRi6533Profiledata::Bands ToBands(const std::vector<std::int32_t>& values) {
    rerov::CRi6533Profiledata::Bands bands{};
    std::copy_n(values.begin(), std::min(values.size(), bands.size()), bands.begin());
    return bands;
}

void ExerciseFamily(rerov::CRi6533Profiledata& data) {
    data.WriteHeadsetSystem(data.ReadHeadsetSystem());
    for (int eqType = 0; eqType <= rerov::CRi6533Profiledata::kCustomEqType; ++eqType) {
        data.WriteEqPreset(eqType, ToBands(data.ReadEqPreset(eqType)));
    }
    data.WriteCustomEqNames(data.ReadCustomEqNames());
    data.WriteCustomEq(0, ToBands(data.ReadCustomEq(0)));
}

void ExerciseFamily(CBasicProfiledata&) {}

template <typename Data>
void Run(const uint8_t* bytes, size_t size) {
    rerov::fuzz::ClearScratchFolder();
    const std::filesystem::path path = rerov::fuzz::ScratchFolder() / "profile.Json";
    rerov::fuzz::WriteScratchFile(path, bytes, size);

    Data data;
    data.SetDefaultPath(rerov::DefaultProfilePath(kFamily));
    data.SetProfilePath(path);
    data.LoadProfile(path);
    ExerciseCommon(data);
    ExerciseFamily(data);
    if (data.Save() && rerov::JsonFileIO::ReadJsonFile(path).isNull()) {
        std::fprintf(stderr, "a save reported success but left a file that does not read\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string family = kFamily;
    if (family == rerov::kFamilyNameKeyboard) {
        Run<rerov::CKeyboardProfiledata>(bytes, size);
    } else if (family == rerov::kFamilyNameMouse) {
        Run<rerov::CMouseProfiledata>(bytes, size);
    } else if (family == rerov::kFamilyNameHeadset) {
        Run<rerov::CRi6533Profiledata>(bytes, size);
    } else {
        Run<CBasicProfiledata>(bytes, size);
    }
    return 0;
}
