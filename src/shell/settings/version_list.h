#pragma once
// The version list the main window prepares before it opens the settings window: one row
// per product record, its third number the installed version (0 when the device is
// absent), the program's own version in the last row. Built from plain facts about the
// device list so it can be tested without devices.

#include <QString>
#include <array>
#include <vector>

namespace rerov::shell {

/// One row: the record's numbers (the second is -1 when the version is the receiver's, the
/// third is the installed version) and its five strings.
struct VersionRow {
    std::array<int, 3> numbers{};
    QString vendor;
    QString modelCode;
    QString productName;
    QString displayName;
    QString version;
};

/// What the version list needs of one device list entry, in list order.
struct VersionEntry {
    int familyIndex = -1;          // the entry's page family (product record row); -1: no page
    bool connected = false;        // the page's command link is connected
    bool receiverMode = false;     // the link is in receiver mode
    bool reportsReceiver = false;  // the entry shows the device as reached by the receiver
    int deviceVersion = 0;         // installed version of the device itself
    int receiverVersion = 0;       // installed version of its receiver
};

/// The rows of the product records, then the entries applied (a connected device's
/// version, 0 for absent ones and for entries without a page) and `softwareVersion` as the
/// last row's third number.
std::vector<VersionRow> BuildVersionList(const std::vector<VersionEntry>& entries,
                                         int softwareVersion);

/// The rows the settings window shows: those whose third number is not 0.
std::vector<VersionRow> PresentRows(const std::vector<VersionRow>& rows);

/// A version as the device reports it (binary-coded decimal, 0x0105) as the number the
/// list keeps (105); a value that is not binary-coded decimal is kept as it is.
int VersionFromBcd(unsigned bcd);

}  // namespace rerov::shell
