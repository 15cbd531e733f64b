#pragma once
// "updatetime.config" in the product's user folder: the date the settings window was first
// opened, {"updatelasttime": {"value": "2024-3-5"}}. The status line shows it as the date
// of the last update check.

#include <QDate>
#include <QString>
#include <filesystem>

namespace rerov::shell {

/// The file's place: the product's user folder + "updatetime.config"; empty when no user
/// folder is known.
std::filesystem::path UpdateTimeConfigPath();

/// A date as the file keeps it: year, month and day without leading zeros ("2024-3-5").
QString FormatCheckDate(const QDate& date);

/// What reading the file gave.
struct StoredCheckDate {
    QString date;          // the stored text, or today's date when none could be used
    bool written = false;  // the file was (re)written with today's date
    QString error;         // why the file could not be written, empty otherwise
};

/// The stored date of the file at `path`. When the file is missing, malformed, holds no
/// string "updatelasttime"/"value" or cannot be read, `today` is formatted, written to the
/// file (other members of a readable document are kept) and returned; a write that fails is
/// reported in `error` and the date is still returned.
StoredCheckDate ReadOrStampLastCheckDate(const std::filesystem::path& path, const QDate& today);

}  // namespace rerov::shell
