#include "shell/ipc/ipc_requests.h"

#include <QDir>
#include <QJsonArray>
#include <QLatin1String>
#include <cmath>
#include <limits>

#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/ipc_ui_requests.h"

namespace rerov::ipc {

namespace {

const QString kNotSimulated =
    QStringLiteral("the program was not started with --simulate; sim commands need it");
const QString kNoWindow = QStringLiteral("the window is not ready yet");

RequestOutcome Reply(QJsonObject reply) { return RequestOutcome{std::move(reply), false}; }
RequestOutcome Refuse(const QString& text) { return Reply(ErrorReply(text)); }

RequestOutcome Activate(const QJsonObject&, const RequestTargets& targets) {
    // A second start while the first is still starting: the first pass of the device scan
    // shows the window anyway, so there is nothing to wait for.
    if (targets.app) targets.app->BringToFront();
    return Reply(OkReply());
}

RequestOutcome State(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.app) return Refuse(kNoWindow);
    QJsonObject fields = StateToJson(targets.app->State());
    fields.insert(QStringLiteral("simulated"), targets.sim != nullptr);
    if (targets.times) {
        fields.insert(QStringLiteral("mainEnteredUs"), targets.times->mainEnteredUs);
        fields.insert(QStringLiteral("windowShownUs"), targets.times->windowShownUs);
    }
    if (targets.window) fields.insert(QStringLiteral("window"), targets.window());
    return Reply(OkReply(fields));
}

RequestOutcome Show(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.app) return Refuse(kNoWindow);
    targets.app->BringToFront();
    return Reply(OkReply());
}

RequestOutcome Quit(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.app) return Refuse(kNoWindow);
    // The reply goes out first; the caller ends the program after it.
    return RequestOutcome{OkReply(), true};
}

bool DeviceArgument(const QJsonObject& request, std::string* device, QString* error) {
    const QJsonValue value = request.value(QStringLiteral("device"));
    if (!value.isString() || value.toString().isEmpty()) {
        *error = QStringLiteral("no device named");
        return false;
    }
    *device = value.toString().toStdString();
    return true;
}

template <bool kPlug>
RequestOutcome PlugOrUnplug(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    if (!DeviceArgument(request, &device, &error)) return Refuse(error);
    std::string reason;
    const bool done =
        kPlug ? targets.sim->Plug(device, &reason) : targets.sim->Unplug(device, &reason);
    if (!done) return Refuse(QString::fromStdString(reason));
    return Reply(OkReply());
}

RequestOutcome Reach(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    if (!DeviceArgument(request, &device, &error)) return Refuse(error);
    // Only the keyboard is modelled behind its receiver.
    if (device != "keyboard") {
        return Refuse(QStringLiteral("only the keyboard can go out of reach, not ") +
                      QString::fromStdString(device));
    }
    const QJsonValue on = request.value(QStringLiteral("on"));
    if (!on.isBool()) return Refuse(QStringLiteral("reach needs \"on\": true or false"));
    targets.sim->SetKeyboardInReach(on.toBool());
    return Reply(OkReply());
}

bool StringArgument(const QJsonObject& request, const char* name, std::string* value,
                    QString* error) {
    const QJsonValue field = request.value(QLatin1String(name));
    if (!field.isString() || field.toString().isEmpty()) {
        *error = QStringLiteral("no %1 named").arg(QLatin1String(name));
        return false;
    }
    *value = field.toString().toStdString();
    return true;
}

QString Hex(const std::vector<uint8_t>& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex());
}

QJsonObject MemoryToJson(const std::string& device, const std::string& area,
                         const SimMemoryArea& memory) {
    QJsonArray sections;
    for (const SimMemorySection& section : memory.sections) {
        sections.append(QJsonObject{
            {QStringLiteral("title"), QString::fromStdString(section.title)},
            {QStringLiteral("address"), static_cast<qint64>(section.address)},
            {QStringLiteral("size"), static_cast<qint64>(section.bytes.size())},
            {QStringLiteral("hex"), Hex(section.bytes)},
        });
    }
    QJsonObject values;
    for (const auto& [name, value] : memory.values) {
        values.insert(QString::fromStdString(name), static_cast<qint64>(value));
    }
    return QJsonObject{{QStringLiteral("device"), QString::fromStdString(device)},
                       {QStringLiteral("area"), QString::fromStdString(area)},
                       {QStringLiteral("description"), QString::fromStdString(memory.description)},
                       {QStringLiteral("sections"), sections},
                       {QStringLiteral("values"), values}};
}

RequestOutcome Memory(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    std::string area;
    QString error;
    if (!StringArgument(request, "device", &device, &error) ||
        !StringArgument(request, "area", &area, &error)) {
        return Refuse(error);
    }
    SimMemoryArea memory;
    std::string reason;
    if (!targets.sim->ReadMemory(device, area, &memory, &reason)) {
        return Refuse(QString::fromStdString(reason));
    }
    QJsonObject reply = OkReply(MemoryToJson(device, area, memory));
    // The reader at the other end refuses a longer message; say why rather than break it.
    if (EncodeMessage(reply).size() > static_cast<qsizetype>(kMaxMessageBytes)) {
        return Refuse(QStringLiteral("the area %1 of %2 is too large for the channel")
                          .arg(QString::fromStdString(area), QString::fromStdString(device)));
    }
    return Reply(std::move(reply));
}

RequestOutcome TraceStart(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string file;
    QString error;
    if (!StringArgument(request, "file", &file, &error)) return Refuse(error);
    // The program's working folder is not the caller's: a relative name would land elsewhere.
    if (!QDir::isAbsolutePath(QString::fromStdString(file))) {
        return Refuse(QStringLiteral("the trace file must be an absolute path, not ") +
                      QString::fromStdString(file));
    }
    std::string reason;
    if (!targets.sim->StartTrace(file, &reason)) return Refuse(QString::fromStdString(reason));
    return Reply(OkReply({{QStringLiteral("file"), QString::fromStdString(file)}}));
}

RequestOutcome TraceStop(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    SimTraceSummary summary;
    std::string reason;
    if (!targets.sim->StopTrace(&summary, &reason)) return Refuse(QString::fromStdString(reason));
    return Reply(OkReply({{QStringLiteral("file"), QString::fromStdString(summary.file)},
                          {QStringLiteral("lines"), static_cast<qint64>(summary.lines)}}));
}

RequestOutcome Timing(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    return Reply(OkReply(
        {{QStringLiteral("violations"), static_cast<qint64>(targets.sim->TimingViolations())}}));
}

// An integer argument; false with a reason when it is missing or not a whole number.
bool IntArgument(const QJsonObject& request, const char* name, int* value, QString* error) {
    const QJsonValue field = request.value(QLatin1String(name));
    const double number = field.toDouble(-1.5);
    if (!field.isDouble() || number != static_cast<double>(static_cast<int>(number))) {
        *error = QStringLiteral("\"%1\" must be a whole number").arg(QLatin1String(name));
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

RequestOutcome Done(bool done, const std::string& reason) {
    return done ? Reply(OkReply()) : Refuse(QString::fromStdString(reason));
}

RequestOutcome Key(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    int position = 0;
    if (!DeviceArgument(request, &device, &error) ||
        !IntArgument(request, "position", &position, &error)) {
        return Refuse(error);
    }
    const QJsonValue down = request.value(QStringLiteral("down"));
    if (!down.isBool()) return Refuse(QStringLiteral("key needs \"down\": true or false"));
    std::string reason;
    return Done(targets.sim->PressKey(device, position, down.toBool(), &reason), reason);
}

RequestOutcome Onboard(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    int profile = 0;
    int field = -1;
    if (!DeviceArgument(request, &device, &error) ||
        !IntArgument(request, "profile", &profile, &error) ||
        (request.contains(QStringLiteral("field")) &&
         !IntArgument(request, "field", &field, &error))) {
        return Refuse(error);
    }
    std::string reason;
    return Done(targets.sim->SelectOnboardProfile(device, profile, field, &reason), reason);
}

RequestOutcome Changed(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    if (!DeviceArgument(request, &device, &error)) return Refuse(error);
    std::string reason;
    return Done(targets.sim->ReportChanged(device, &reason), reason);
}

RequestOutcome Param(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kNotSimulated);
    std::string device;
    QString error;
    int offset = 0;
    int value = 0;
    if (!DeviceArgument(request, &device, &error) ||
        !IntArgument(request, "offset", &offset, &error) ||
        !IntArgument(request, "value", &value, &error)) {
        return Refuse(error);
    }
    std::string reason;
    return Done(targets.sim->SetParameterByte(device, offset, value, &reason), reason);
}

// A whole number that fits an int; false with a reason otherwise.
bool IntInRange(const QJsonObject& request, const char* name, int* value, QString* error) {
    const QJsonValue field = request.value(QLatin1String(name));
    const double number = field.toDouble();
    if (!field.isDouble() || number != std::trunc(number) ||
        number < static_cast<double>(std::numeric_limits<int>::min()) ||
        number > static_cast<double>(std::numeric_limits<int>::max())) {
        *error = QStringLiteral("\"%1\" must be a whole number within the range of an int")
                     .arg(QLatin1String(name));
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

RequestOutcome SettingsRelay(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.app) return Refuse(kNoWindow);
    int code = 0;
    int value = 0;
    QString error;
    if (!IntInRange(request, "code", &code, &error)) return Refuse(error);
    if (code < kRelayCodeFirst || code > kRelayCodeLast) {
        return Refuse(QStringLiteral("unknown relay code %1 (1 finished, 2 failed, 3 given up, "
                                     "4 progress)")
                          .arg(code));
    }
    if (request.contains(QStringLiteral("value")) &&
        !IntInRange(request, "value", &value, &error)) {
        return Refuse(error);
    }
    const SettingsRelayOutcome outcome = targets.app->RelayToSettings(code, value);
    return Reply(OkReply({{QStringLiteral("delivered"), outcome.delivered},
                          {QStringLiteral("closed"), outcome.windowClosed}}));
}

RequestOutcome SettingsOpen(const QJsonObject&, const RequestTargets& targets) {
    if (!targets.app) return Refuse(kNoWindow);
    if (!targets.app->OpenSettings())
        return Refuse(QStringLiteral("the settings window cannot open"));
    return Reply(OkReply());
}

struct RequestRow {
    const char* type;
    RequestOutcome (*handle)(const QJsonObject&, const RequestTargets&);
};

constexpr RequestRow kRequests[] = {
    {kActivate, &Activate},
    {kAppState, &State},
    {kAppShow, &Show},
    {kAppQuit, &Quit},
    {kSimPlug, &PlugOrUnplug<true>},
    {kSimUnplug, &PlugOrUnplug<false>},
    {kSimReach, &Reach},
    {kAppScreenshot, &HandleScreenshot},
    {kAppUiList, &HandleUiList},
    {kAppUiClick, &HandleUiClick},
    {kAppUiSelect, &HandleUiSelect},
    {kAppUiText, &HandleUiText},
    {kAppUiValue, &HandleUiValue},
    {kSimMemory, &Memory},
    {kSimTraceStart, &TraceStart},
    {kSimTraceStop, &TraceStop},
    {kSimTiming, &Timing},
    {kSimKey, &Key},
    {kSimOnboard, &Onboard},
    {kSimChanged, &Changed},
    {kSimParam, &Param},
    {kSettingsRelay, &SettingsRelay},
    {kSettingsOpen, &SettingsOpen},
};

}  // namespace

RequestOutcome HandleRequest(const QJsonObject& request, const RequestTargets& targets) {
    const QString type = request.value(QStringLiteral("type")).toString();
    for (const RequestRow& row : kRequests) {
        if (type == QLatin1String(row.type)) return row.handle(request, targets);
    }
    return Refuse(QStringLiteral("unknown request ") + type);
}

QJsonObject StateToJson(const AppState& state) {
    QJsonArray entries;
    for (const DeviceEntryState& entry : state.entries) {
        entries.append(QJsonObject{
            {QStringLiteral("family"), QString::fromStdString(entry.family)},
            {QStringLiteral("shown"), entry.shown},
            {QStringLiteral("current"), entry.current},
            {QStringLiteral("connected"), entry.connected},
            {QStringLiteral("receiver"), entry.receiver},
            {QStringLiteral("pageVisible"), entry.pageVisible},
            {QStringLiteral("ready"), entry.ready},
            {QStringLiteral("lightFramesSent"), static_cast<qint64>(entry.lightFramesSent)},
            {QStringLiteral("lightFramesSkipped"), static_cast<qint64>(entry.lightFramesSkipped)},
        });
    }
    return QJsonObject{{QStringLiteral("entries"), entries},
                       {QStringLiteral("noDeviceHintVisible"), state.noDeviceHintVisible}};
}

}  // namespace rerov::ipc
