#include "shell/settings/version_list.h"

#include "device_link/supported_devices.h"

namespace rerov::shell {

std::vector<VersionRow> BuildVersionList(const std::vector<VersionEntry>& entries,
                                         int softwareVersion) {
    std::vector<VersionRow> rows;
    rows.reserve(kProductRecords.size());
    for (const ProductRecord& record : kProductRecords) {
        rows.push_back(
            VersionRow{record.numbers, QString::fromUtf8(record.vendor),
                       QString::fromUtf8(record.modelCode), QString::fromUtf8(record.productName),
                       QString::fromUtf8(record.displayName), QString::fromUtf8(record.version)});
    }
    const auto rowCount = static_cast<int>(rows.size());
    for (int position = 0; position < static_cast<int>(entries.size()); ++position) {
        const VersionEntry& entry = entries[static_cast<size_t>(position)];
        if (entry.familyIndex < 0) {
            // An entry without a page: the row at its position has nothing installed.
            if (position < rowCount) rows[static_cast<size_t>(position)].numbers[2] = 0;
            continue;
        }
        // The records are in family order; the last one is the program's, never a device's.
        if (entry.familyIndex >= rowCount - 1) continue;
        VersionRow& row = rows[static_cast<size_t>(entry.familyIndex)];
        if (!entry.connected) {
            row.numbers[2] = 0;
        } else if (entry.receiverMode && entry.reportsReceiver) {
            row.numbers[2] = entry.receiverVersion;
            row.numbers[1] = -1;
        } else {
            row.numbers[2] = entry.deviceVersion;
        }
    }
    if (!rows.empty()) rows.back().numbers[2] = softwareVersion;
    return rows;
}

std::vector<VersionRow> PresentRows(const std::vector<VersionRow>& rows) {
    std::vector<VersionRow> present;
    for (const VersionRow& row : rows) {
        if (row.numbers[2] != 0) present.push_back(row);
    }
    return present;
}

int VersionFromBcd(unsigned bcd) {
    int value = 0;
    int scale = 1;
    for (unsigned rest = bcd; rest != 0; rest >>= 4u) {
        const unsigned digit = rest & 0xFu;
        if (digit > 9) return static_cast<int>(bcd);
        value += static_cast<int>(digit) * scale;
        scale *= 10;
    }
    return value;
}

}  // namespace rerov::shell
