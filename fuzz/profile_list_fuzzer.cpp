// "ProfileList.ini" as the profile store finds it in a family folder: the store builds
// from it (repairing or replacing what it cannot use), and what the list parser accepts
// must survive being written out and read back unchanged. The mouse pad's factory profile
// is the smallest, so the store's own writes cost little per input.

#include <cstdio>
#include <cstdlib>

#include "fuzz/scratch_folder.h"
#include "profiles/json_file_io.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_list.h"
#include "profiles/profile_store.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile list: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    rerov::fuzz::ClearScratchFolder();
    const std::filesystem::path folder = rerov::fuzz::ScratchFolder();
    const std::filesystem::path listPath = folder / rerov::kProfileListFileName;
    rerov::fuzz::WriteScratchFile(listPath, bytes, size);

    const std::optional<rerov::ProfileList> parsed =
        rerov::ParseProfileList(rerov::JsonFileIO::ReadJsonFile(listPath));
    if (parsed) {
        const std::optional<rerov::ProfileList> again =
            rerov::ParseProfileList(rerov::ProfileListDocument(*parsed));
        if (!again) Fail("a parsed list does not parse again from its own document");
        if (again->entries != parsed->entries || again->selected != parsed->selected) {
            Fail("a parsed list changes when written out and read back");
        }
    }

    rerov::ProfileStore store(rerov::DeviceKindOfFamily(rerov::kFamilyNameMousePad), folder,
                              rerov::DefaultProfilePath(rerov::kFamilyNameMousePad));
    if (store.Build() == rerov::StoreResult::Ok) {
        if (store.Count() < 1) Fail("a built store shows no profile");
        if (store.Selected() < 0 || store.Selected() >= store.Count()) {
            Fail("a built store selects a profile it does not have");
        }
    }
    return 0;
}
