#include "shell/ipc/ipc_requests.h"

#include <QJsonArray>
#include <QLatin1String>

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
        });
    }
    return QJsonObject{{QStringLiteral("entries"), entries},
                       {QStringLiteral("noDeviceHintVisible"), state.noDeviceHintVisible}};
}

}  // namespace rerov::ipc
