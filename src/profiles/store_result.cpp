#include "profiles/store_result.h"

#include <array>

namespace rerov {

namespace {

struct ResultRow {
    StoreResult result;
    const char* text;
    const char* messageKey;
};

// Keys "message_text_5" and "message_text_25" are the profile bar's rename prompts; the
// other keys name this store's own refusals.
constexpr std::array<ResultRow, 16> kResultRows{{
    {StoreResult::Ok, "done", ""},
    {StoreResult::NoSelection, "no profile is selected", "profile_msg_no_selection"},
    {StoreResult::IndexOutOfRange, "there is no profile at that index",
     "profile_msg_no_such_profile"},
    {StoreResult::LimitReached, "the profile limit of 50 is reached", "profile_msg_limit"},
    {StoreResult::LastProfile, "the last profile cannot be deleted", "profile_msg_last_profile"},
    {StoreResult::NameBlank, "the name is blank", "message_text_25"},
    {StoreResult::NameInUse, "another profile already has that name", "message_text_5"},
    {StoreResult::ImportUnreadable, "the file cannot be read", "profile_msg_import_unreadable"},
    {StoreResult::ImportTooLarge, "the file is too large to be a profile (limit 4 MiB)",
     "profile_msg_import_too_large"},
    {StoreResult::ImportInvalid,
     "the file is not a profile (a JSON object with \"profilename\" and \"profileUUID\")",
     "profile_msg_import_invalid"},
    {StoreResult::SourceUnreadable, "the profile's file is missing or unreadable",
     "profile_msg_source_unreadable"},
    {StoreResult::WriteFailed, "a file could not be written; nothing was changed",
     "profile_msg_write_failed"},
    {StoreResult::FolderUnavailable, "the profile folder is not available",
     "profile_msg_folder_unavailable"},
    {StoreResult::ProfileRemoved,
     "the profile was removed by another program; the list was read again",
     "profile_msg_profile_removed"},
    {StoreResult::FolderBusy,
     "another program is changing the profiles; nothing was changed, try again",
     "profile_msg_folder_busy"},
    {StoreResult::ListUnreadable, "the profile list exists but cannot be read; it was left alone",
     "profile_msg_list_unreadable"},
}};

const ResultRow& RowOf(StoreResult result) {
    for (const ResultRow& row : kResultRows) {
        if (row.result == result) return row;
    }
    return kResultRows[0];
}

}  // namespace

const char* StoreResultText(StoreResult result) { return RowOf(result).text; }

const char* StoreResultMessageKey(StoreResult result) { return RowOf(result).messageKey; }

int RenameResultCode(StoreResult result) {
    switch (result) {
        case StoreResult::Ok:
            return 1;
        case StoreResult::NameInUse:
            return 0;
        case StoreResult::NameBlank:
            return 2;
        default:
            return -1;
    }
}

}  // namespace rerov
