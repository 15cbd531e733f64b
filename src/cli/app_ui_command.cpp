// rerovctl app screenshot FILE | app ui list [--json] | app ui click NAME |
// app ui select NAME INDEX | app ui text NAME VALUE | app ui value NAME N

#include "cli/app_ui_command.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <charconv>
#include <iostream>

#include "cli/app_command_channel.h"
#include "cli/cli_session.h"
#include "shell/ipc/ipc_protocol.h"

namespace rerov::cli {

namespace {

// Longest text shown in a cell of the plain list; --json has it whole.
constexpr int kCellTextChars = 40;

int Usage() {
    PrintError(
        "usage: app ui list [--json] | app ui click NAME | app ui select NAME INDEX | "
        "app ui text NAME VALUE | app ui value NAME N");
    return kExitUsage;
}

bool ParseInt(const std::string& text, int* value) {
    const char* end = text.data() + text.size();
    const auto [last, status] = std::from_chars(text.data(), end, *value);
    return status == std::errc() && last == end && !text.empty();
}

QJsonObject Request(const char* type, const std::string& name) {
    return QJsonObject{{QStringLiteral("type"), QLatin1String(type)},
                       {QStringLiteral("name"), QString::fromStdString(name)}};
}

// Every row of the list, page by page.
int FetchControls(QJsonArray* rows) {
    int from = 0;
    for (;;) {
        QJsonObject reply;
        const int code =
            AskProgram(QJsonObject{{QStringLiteral("type"), QLatin1String(ipc::kAppUiList)},
                                   {QStringLiteral("from"), from}},
                       &reply);
        if (code != kExitOk) return code;
        const QJsonArray page = reply.value(QStringLiteral("controls")).toArray();
        for (const QJsonValue& row : page) rows->append(row);
        if (!reply.contains(QStringLiteral("next"))) return kExitOk;
        const int next = reply.value(QStringLiteral("next")).toInt(-1);
        if (next <= from) {
            PrintError("the program sent a broken page of the control list");
            return kExitFailure;
        }
        from = next;
    }
}

std::string Cut(const QString& text) {
    QString shown = text;
    shown.replace(u'\n', u' ');
    if (shown.size() > kCellTextChars)
        shown = shown.left(kCellTextChars - 3) + QStringLiteral("...");
    return shown.toStdString();
}

// "checked", "selected", "-" ...
std::string StateCell(const QJsonObject& row) {
    if (row.contains(QStringLiteral("checked"))) {
        return row.value(QStringLiteral("checked")).toBool() ? "checked" : "unchecked";
    }
    if (row.contains(QStringLiteral("selected"))) {
        return row.value(QStringLiteral("selected")).toBool() ? "selected" : "unselected";
    }
    return "-";
}

// Item "#2 of 5", value "30 in 0..100", then the text in quotes.
std::string ValueCell(const QJsonObject& row) {
    std::string cell;
    const auto number = [&row](const char* key) {
        return std::to_string(row.value(QLatin1String(key)).toInt());
    };
    if (row.contains(QStringLiteral("index"))) {
        cell = "#" + number("index") + " of " + number("count");
    }
    if (row.contains(QStringLiteral("value"))) {
        cell = number("value");
        if (row.contains(QStringLiteral("minimum"))) {
            cell += " in " + number("minimum") + ".." + number("maximum");
        }
    }
    if (row.contains(QStringLiteral("text"))) {
        if (!cell.empty()) cell += ' ';
        cell += '"' + Cut(row.value(QStringLiteral("text")).toString()) + '"';
    }
    return cell;
}

// A table with a header line; columns as wide as their widest cell.
void PrintTable(const QJsonArray& rows) {
    std::vector<std::vector<std::string>> lines = {
        {"WINDOW", "NAME", "CLASS", "SHOWN", "ENABLED", "STATE", "TEXT / VALUE"}};
    for (const QJsonValue& value : rows) {
        const QJsonObject row = value.toObject();
        lines.push_back({row.value(QStringLiteral("window")).toString().toStdString(),
                         row.value(QStringLiteral("name")).toString().toStdString(),
                         row.value(QStringLiteral("class")).toString().toStdString(),
                         row.value(QStringLiteral("visible")).toBool() ? "yes" : "no",
                         row.value(QStringLiteral("enabled")).toBool() ? "yes" : "no",
                         StateCell(row), ValueCell(row)});
    }
    std::vector<size_t> widths(lines.front().size(), 0);
    for (const auto& line : lines) {
        for (size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
    }
    for (const auto& line : lines) {
        std::string text;
        for (size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size()) text += std::string(widths[i] - line[i].size() + 2, ' ');
        }
        std::cout << text << '\n';
    }
}

int List(const std::vector<std::string>& args) {
    const bool json = args.size() == 2 && args[1] == "--json";
    if (args.size() > 2 || (args.size() == 2 && !json)) return Usage();
    QJsonArray rows;
    const int code = FetchControls(&rows);
    if (code != kExitOk) return code;
    if (json) {
        std::cout << QJsonDocument(rows).toJson(QJsonDocument::Indented).toStdString();
    } else {
        PrintTable(rows);
    }
    return kExitOk;
}

int Act(const std::vector<std::string>& args) {
    const std::string& verb = args[0];
    QJsonObject reply;
    if (verb == "click") {
        if (args.size() != 2) return Usage();
        return AskProgram(Request(ipc::kAppUiClick, args[1]), &reply);
    }
    if (args.size() != 3) return Usage();
    if (verb == "text") {
        QJsonObject request = Request(ipc::kAppUiText, args[1]);
        request.insert(QStringLiteral("text"), QString::fromStdString(args[2]));
        return AskProgram(request, &reply);
    }
    int number = 0;
    const bool select = verb == "select";
    if (!select && verb != "value") return Usage();
    if (!ParseInt(args[2], &number)) {
        PrintError((select ? "INDEX" : "N") + std::string(" must be a whole number, not ") +
                   args[2]);
        return kExitUsage;
    }
    QJsonObject request = Request(select ? ipc::kAppUiSelect : ipc::kAppUiValue, args[1]);
    request.insert(select ? QStringLiteral("index") : QStringLiteral("value"), number);
    return AskProgram(request, &reply);
}

}  // namespace

int RunScreenshotCommand(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        PrintError("usage: app screenshot FILE");
        return kExitUsage;
    }
    // The program runs in a folder of its own: it gets the whole path.
    const QString path =
        QDir::cleanPath(QFileInfo(QString::fromLocal8Bit(args[0].c_str())).absoluteFilePath());
    QJsonObject reply;
    const int code =
        AskProgram(QJsonObject{{QStringLiteral("type"), QLatin1String(ipc::kAppScreenshot)},
                               {QStringLiteral("path"), path}},
                   &reply);
    if (code != kExitOk) return code;
    std::cout << "saved " << path.toStdString() << ": "
              << reply.value(QStringLiteral("width")).toInt() << "x"
              << reply.value(QStringLiteral("height")).toInt() << " of "
              << reply.value(QStringLiteral("window")).toString().toStdString() << '\n';
    return kExitOk;
}

int RunUiCommand(const std::vector<std::string>& args) {
    if (args.empty()) return Usage();
    if (args[0] == "list") return List(args);
    return Act(args);
}

}  // namespace rerov::cli
