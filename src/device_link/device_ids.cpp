#include "device_link/device_ids.h"

#include <QStandardPaths>
#include <QString>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "device_ids_defaults.h"
#include "device_link/hid_log.h"

namespace rerov {
namespace {

struct IdName {
    const char* name;
    uint16_t DeviceIds::*field;
};

constexpr IdName kIdNames[] = {
    {"VID_A", &DeviceIds::vidA}, {"VID_B", &DeviceIds::vidB}, {"PID_1", &DeviceIds::pid1},
    {"PID_2", &DeviceIds::pid2}, {"PID_3", &DeviceIds::pid3}, {"PID_4", &DeviceIds::pid4},
    {"PID_5", &DeviceIds::pid5}, {"PID_6", &DeviceIds::pid6},
};

constexpr const char* kProductFolder = "REROV ER60 EVER";
constexpr const char* kOverrideFileName = "device_ids.txt";

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n";
    size_t first = s.find_first_not_of(ws);
    if (first == std::string::npos) return {};
    size_t last = s.find_last_not_of(ws);
    return s.substr(first, last - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "0x" followed by hex digits whose value fits 16 bits.
bool ParseHex16(const std::string& text, uint16_t* value) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
    uint32_t v = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        int d = HexDigit(text[i]);
        if (d < 0) return false;
        v = v * 16 + static_cast<uint32_t>(d);
        if (v > 0xFFFF) return false;
    }
    *value = static_cast<uint16_t>(v);
    return true;
}

void Warn(std::vector<std::string>* warnings, const std::string& text) {
    qCWarning(lcHid, "%s", text.c_str());
    if (warnings) warnings->push_back(text);
}

}  // namespace

DeviceIds DefaultDeviceIds() {
    DeviceIds ids;
    ids.vidA = defaults::kVidA;
    ids.vidB = defaults::kVidB;
    ids.pid1 = defaults::kPid1;
    ids.pid2 = defaults::kPid2;
    ids.pid3 = defaults::kPid3;
    ids.pid4 = defaults::kPid4;
    ids.pid5 = defaults::kPid5;
    ids.pid6 = defaults::kPid6;
    return ids;
}

DeviceIds ApplyDeviceIdOverrides(const DeviceIds& base, const std::string& text,
                                 std::vector<std::string>* warnings) {
    DeviceIds ids = base;
    std::istringstream in(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = Trim(raw.substr(0, raw.find('#')));
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            Warn(warnings, "device ids line " + std::to_string(lineNumber) +
                               ": expected NAME=0xHEX, ignored");
            continue;
        }
        const std::string name = Trim(line.substr(0, eq));
        const std::string valueText = Trim(line.substr(eq + 1));
        const IdName* entry = nullptr;
        for (const IdName& candidate : kIdNames) {
            if (name == candidate.name) entry = &candidate;
        }
        if (!entry) {
            Warn(warnings, "device ids line " + std::to_string(lineNumber) + ": unknown name \"" +
                               name + "\", ignored");
            continue;
        }
        uint16_t value = 0;
        if (!ParseHex16(valueText, &value)) {
            Warn(warnings, "device ids line " + std::to_string(lineNumber) + ": \"" + valueText +
                               "\" is not a 16-bit 0xHEX value, ignored");
            continue;
        }
        ids.*(entry->field) = value;
    }
    return ids;
}

DeviceIds ReadDeviceIdsFile(const DeviceIds& base, const std::string& filePath,
                            std::vector<std::string>* warnings) {
    std::error_code ec;
    if (!std::filesystem::exists(filePath, ec)) return base;  // no override: the defaults stand
    std::ifstream file(filePath, std::ios::binary);
    if (!file) {
        Warn(warnings, "device ids file " + filePath + " cannot be read, ignored");
        return base;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        Warn(warnings, "device ids file " + filePath + ": read failed");
        return base;
    }
    return ApplyDeviceIdOverrides(base, text.str(), warnings);
}

std::string DeviceIdsOverrideFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (folder + QLatin1Char('/') + QString::fromUtf8(kProductFolder) + QLatin1Char('/') +
            QString::fromUtf8(kOverrideFileName))
        .toStdString();
}

const DeviceIds& LoadDeviceIds() {
    // A function-local static is initialised exactly once even under concurrent first calls.
    static const DeviceIds ids =
        ReadDeviceIdsFile(DefaultDeviceIds(), DeviceIdsOverrideFile(), nullptr);
    return ids;
}

}  // namespace rerov
