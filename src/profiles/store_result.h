#pragma once

namespace rerov {

/// Outcome of a profile store operation.
enum class StoreResult {
    Ok,
    NoSelection,        // the store was not built or nothing is selected
    IndexOutOfRange,    // no profile at the given index
    LimitReached,       // add refused at the profile limit
    LastProfile,        // delete refused: the last profile stays
    NameBlank,          // rename refused: blank name
    NameInUse,          // rename refused: another profile has the name
    ImportUnreadable,   // the import file cannot be read
    ImportTooLarge,     // the import file exceeds the size limit
    ImportInvalid,      // the import file is not a profile
    SourceUnreadable,   // the selected profile's file is missing or malformed
    WriteFailed,        // a file could not be written; nothing was changed
    FolderUnavailable,  // the profile folder cannot be found or created
    ProfileRemoved,     // the shown profile was removed by another program; the list is re-read
    FolderBusy,         // another program kept the profile folder locked past the wait
    ListUnreadable,     // the list file exists but cannot be read; it is left alone
};

/// A one-line English description, for the command-line tool and traces.
const char* StoreResultText(StoreResult result);

/// Language key of the message a window shows for the result ("" for Ok).
const char* StoreResultMessageKey(StoreResult result);

/// The rename result code of the profile bar: 1 renamed, 0 name in use, 2 blank name;
/// -1 for any other failure.
int RenameResultCode(StoreResult result);

}  // namespace rerov
