// rerovctl sim memory DEVICE [AREA] [--json]

#include "cli/sim_memory_command.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "cli/app_command_channel.h"
#include "cli/cli_session.h"
#include "shell/ipc/ipc_protocol.h"
#include "sim/device_memory.h"
#include "sim/virtual_nodes.h"

namespace rerov::cli {

namespace {

constexpr size_t kDumpBytesPerLine = 16;
constexpr size_t kDumpGroupBytes = 8;

int Usage() {
    PrintError(
        "usage: sim memory DEVICE [AREA] [--json] (without AREA, or with --help: the areas of "
        "DEVICE)");
    return kExitUsage;
}

// The one device --simulate names `name`, or a message listing the valid ones.
bool ParseDevice(const std::string& name, sim::SimPath* path) {
    std::vector<sim::SimPath> paths;
    std::string error;
    if (name.find(',') != std::string::npos || !sim::ParseSimPathList(name, &paths, &error) ||
        paths.size() != 1) {
        PrintError("sim memory: " + (error.empty() ? "one device name expected" : error));
        return false;
    }
    *path = paths.front();
    return true;
}

// The areas of a device, from this program's own copy of the simulator: the running
// program was built from the same sources.
int ListAreas(const std::string& device, sim::SimPath path) {
    const std::vector<sim::MemoryAreaName> areas = sim::MemoryAreasOf(path);
    if (areas.empty()) {
        std::cout << device
                  << ": the simulator keeps no memory for this device (it answers commands "
                     "without storing them); devices with memory: "
                  << sim::PathsWithMemory() << '\n';
        return kExitOk;
    }
    std::cout << "memory areas of " << device << " (rerovctl sim memory " << device
              << " AREA [--json]):\n";
    for (const sim::MemoryAreaName& area : areas) {
        std::string name = area.name;
        name.resize(std::max<size_t>(name.size() + 2, 16), ' ');
        std::cout << "  " << name << area.description << '\n';
    }
    return kExitOk;
}

std::vector<uint8_t> FromHex(const QString& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    return {bytes.begin(), bytes.end()};
}

// Hex dump lines of `bytes`, 16 a line, "  0040  0a 0b ... 0f  10 11 ...": the address of
// the line's first byte (counted from `address`), then the bytes with one extra space after
// the eighth.
std::vector<std::string> HexDumpLines(const std::vector<uint8_t>& bytes, size_t address) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size(); start += kDumpBytesPerLine) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "  %04zx", address + start);
        std::string line = offset;
        for (size_t i = start; i < bytes.size() && i < start + kDumpBytesPerLine; ++i) {
            line += (i - start) % kDumpGroupBytes == 0 ? "  " : " ";
            line += kDigits[bytes[i] >> 4];
            line += kDigits[bytes[i] & 0x0F];
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// keyboard info: the information block (...)
//   customSlots: 8
//   keyPositions: 138
//
// information block, 34 bytes at 0x0000:
//   0000  01 05 01 00 03 8a 10 08  00 ...
void PrintPlain(const QJsonObject& reply) {
    std::cout << reply.value(QStringLiteral("device")).toString().toStdString() << ' '
              << reply.value(QStringLiteral("area")).toString().toStdString() << ": "
              << reply.value(QStringLiteral("description")).toString().toStdString() << '\n';
    const QJsonObject values = reply.value(QStringLiteral("values")).toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        std::cout << "  " << it.key().toStdString() << ": " << it.value().toInteger() << '\n';
    }
    for (const QJsonValue& value : reply.value(QStringLiteral("sections")).toArray()) {
        const QJsonObject section = value.toObject();
        const std::vector<uint8_t> bytes = FromHex(section.value(QStringLiteral("hex")).toString());
        const auto address = static_cast<size_t>(
            std::max<qint64>(0, section.value(QStringLiteral("address")).toInteger()));
        char where[32];
        std::snprintf(where, sizeof where, "0x%04zx", address);
        std::cout << '\n'
                  << section.value(QStringLiteral("title")).toString().toStdString() << ", "
                  << bytes.size() << (bytes.size() == 1 ? " byte" : " bytes") << " at " << where
                  << ":\n";
        for (const std::string& line : HexDumpLines(bytes, address)) std::cout << line << '\n';
    }
}

void PrintJson(QJsonObject reply) {
    // The reply's envelope is the channel's business, not the caller's.
    reply.remove(QStringLiteral("type"));
    reply.remove(QStringLiteral("ok"));
    std::cout << QJsonDocument(reply).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

int RunSimMemoryCommand(const std::vector<std::string>& args) {
    std::vector<std::string> words;
    bool json = false;
    bool help = false;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--help") {
            help = true;
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty() || words.size() > 2) return Usage();
    sim::SimPath path{};
    if (!ParseDevice(words[0], &path)) return kExitFailure;
    if (help || words.size() == 1) return ListAreas(words[0], path);

    const QJsonObject request{{QStringLiteral("type"), QLatin1String(ipc::kSimMemory)},
                              {QStringLiteral("device"), QString::fromStdString(words[0])},
                              {QStringLiteral("area"), QString::fromStdString(words[1])}};
    QJsonObject reply;
    const int code = AskProgram(request, &reply);
    if (code != kExitOk) return code;
    json ? PrintJson(reply) : PrintPlain(reply);
    return kExitOk;
}

}  // namespace rerov::cli
