#include "shell/ipc/ipc_ui_requests.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <limits>

#include "shell/ipc/ipc_protocol.h"

namespace rerov::ipc {

namespace {

const QString kUiNeedsSimulation =
    QStringLiteral("the program was not started with --simulate; ui commands need it");
const QString kNoControls = QStringLiteral("the window is not ready yet");

RequestOutcome Refuse(const QString& text) { return RequestOutcome{ErrorReply(text), false}; }

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// An integer argument; JSON numbers are doubles, so fractions and huge values are refused.
bool IntArgument(const QJsonObject& request, const char* key, int* value, QString* error) {
    const QJsonValue field = request.value(QLatin1String(key));
    const double number = field.toDouble(std::nan(""));
    if (!field.isDouble() || std::floor(number) != number ||
        number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
        *error = QStringLiteral("\"%1\" must be a whole number").arg(QLatin1String(key));
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

// The checks every ui action shares; false with the refusal in *refusal.
bool StartAction(const QJsonObject& request, const RequestTargets& targets, UiAction* action,
                 RequestOutcome* refusal) {
    if (!targets.sim) {
        *refusal = Refuse(kUiNeedsSimulation);
        return false;
    }
    if (!targets.ui) {
        *refusal = Refuse(kNoControls);
        return false;
    }
    const QJsonValue name = request.value(QStringLiteral("name"));
    if (!name.isString() || name.toString().isEmpty()) {
        *refusal = Refuse(QStringLiteral("no control named"));
        return false;
    }
    action->control = name.toString().toStdString();
    return true;
}

// The reply comes once the window has handled the events (see UiRemote::Perform).
RequestOutcome AnswerLater(UiRemote* ui, const UiAction& action) {
    RequestOutcome outcome;
    outcome.answerLater = [ui, action](SendReply send) {
        ui->Perform(action, [send = std::move(send)](const std::string& error) {
            send(error.empty() ? OkReply() : ErrorReply(FromStd(error)));
        });
    };
    return outcome;
}

RequestOutcome ActionWithNumber(const QJsonObject& request, const RequestTargets& targets,
                                UiAction::Kind kind, const char* key) {
    UiAction action;
    action.kind = kind;
    RequestOutcome refusal;
    if (!StartAction(request, targets, &action, &refusal)) return refusal;
    QString error;
    if (!IntArgument(request, key, &action.number, &error)) return Refuse(error);
    return AnswerLater(targets.ui, action);
}

}  // namespace

RequestOutcome HandleScreenshot(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.ui) return Refuse(kNoControls);
    const QString path = request.value(QStringLiteral("path")).toString();
    if (path.isEmpty()) return Refuse(QStringLiteral("no file named for the screenshot"));
    // The program's working folder means nothing to the caller.
    if (!QDir::isAbsolutePath(path)) {
        return Refuse(QStringLiteral("the screenshot path must be absolute: ") + path);
    }
    ScreenshotInfo info;
    std::string error;
    if (!targets.ui->SaveScreenshot(path.toStdString(), &info, &error)) {
        return Refuse(FromStd(error));
    }
    return RequestOutcome{OkReply({{QStringLiteral("path"), path},
                                   {QStringLiteral("window"), FromStd(info.window)},
                                   {QStringLiteral("width"), info.width},
                                   {QStringLiteral("height"), info.height}}),
                          false};
}

RequestOutcome HandleUiList(const QJsonObject& request, const RequestTargets& targets) {
    if (!targets.sim) return Refuse(kUiNeedsSimulation);
    if (!targets.ui) return Refuse(kNoControls);
    int from = 0;
    if (request.contains(QStringLiteral("from"))) {
        QString error;
        if (!IntArgument(request, "from", &from, &error)) return Refuse(error);
    }
    const std::vector<ControlInfo> controls = targets.ui->Controls();
    const int total = static_cast<int>(controls.size());
    if (from < 0 || from > total) {
        return Refuse(
            QStringLiteral("row %1 is beyond the list of %2 controls").arg(from).arg(total));
    }
    // Each page holds at least one row (a row is small: texts are cut), and stays within
    // the budget otherwise.
    QJsonArray page;
    qsizetype bytes = 0;
    int next = from;
    while (next < total) {
        const QJsonObject row = ControlToJson(controls[static_cast<size_t>(next)]);
        const qsizetype rowBytes = QJsonDocument(row).toJson(QJsonDocument::Compact).size() + 1;
        if (!page.isEmpty() && bytes + rowBytes > kListPageBytes) break;
        page.append(row);
        bytes += rowBytes;
        ++next;
    }
    QJsonObject fields{{QStringLiteral("controls"), page}, {QStringLiteral("total"), total}};
    if (next < total) fields.insert(QStringLiteral("next"), next);
    return RequestOutcome{OkReply(fields), false};
}

RequestOutcome HandleUiClick(const QJsonObject& request, const RequestTargets& targets) {
    UiAction action;
    action.kind = UiAction::Kind::Click;
    RequestOutcome refusal;
    if (!StartAction(request, targets, &action, &refusal)) return refusal;
    return AnswerLater(targets.ui, action);
}

RequestOutcome HandleUiSelect(const QJsonObject& request, const RequestTargets& targets) {
    return ActionWithNumber(request, targets, UiAction::Kind::Select, "index");
}

RequestOutcome HandleUiText(const QJsonObject& request, const RequestTargets& targets) {
    UiAction action;
    action.kind = UiAction::Kind::Text;
    RequestOutcome refusal;
    if (!StartAction(request, targets, &action, &refusal)) return refusal;
    const QJsonValue text = request.value(QStringLiteral("text"));
    if (!text.isString()) return Refuse(QStringLiteral("no text to type"));
    action.text = text.toString().toStdString();
    return AnswerLater(targets.ui, action);
}

RequestOutcome HandleUiValue(const QJsonObject& request, const RequestTargets& targets) {
    return ActionWithNumber(request, targets, UiAction::Kind::Value, "value");
}

QJsonObject ControlToJson(const ControlInfo& control) {
    QJsonObject row{{QStringLiteral("window"), FromStd(control.window)},
                    {QStringLiteral("name"), FromStd(control.name)},
                    {QStringLiteral("class"), FromStd(control.className)},
                    {QStringLiteral("visible"), control.visible},
                    {QStringLiteral("enabled"), control.enabled},
                    {QStringLiteral("x"), control.x},
                    {QStringLiteral("y"), control.y},
                    {QStringLiteral("width"), control.width},
                    {QStringLiteral("height"), control.height}};
    if (control.checked) row.insert(QStringLiteral("checked"), *control.checked);
    if (control.selected) row.insert(QStringLiteral("selected"), *control.selected);
    if (control.text) {
        QString text = FromStd(*control.text);
        if (text.size() > kMaxListedTextChars) {
            // Never between the halves of a surrogate pair.
            const bool splitsPair = text.at(kMaxListedTextChars - 1).isHighSurrogate();
            text.truncate(kMaxListedTextChars - (splitsPair ? 1 : 0));
            row.insert(QStringLiteral("textCut"), true);
        }
        row.insert(QStringLiteral("text"), text);
    }
    const std::pair<const char*, const std::optional<int>*> numbers[] = {
        {"index", &control.index},     {"count", &control.count},     {"value", &control.value},
        {"minimum", &control.minimum}, {"maximum", &control.maximum},
    };
    for (const auto& [key, number] : numbers) {
        if (*number) row.insert(QLatin1String(key), **number);
    }
    if (control.bkimage) row.insert(QStringLiteral("bkimage"), FromStd(*control.bkimage));
    if (control.bkcolor) row.insert(QStringLiteral("bkcolor"), FromStd(*control.bkcolor));
    return row;
}

}  // namespace rerov::ipc
