#pragma once
// The requests that reach the window's controls: "app.screenshot" and "app.ui.*". The table
// in ipc_requests.cpp names them; they act through RequestTargets::ui.

#include <QJsonObject>

#include "shell/ipc/ipc_requests.h"

namespace rerov::ipc {

// Longest text reported for one control; longer texts are cut and flagged "textCut".
inline constexpr int kMaxListedTextChars = 2000;
// Budget of one page of the control list, well inside kMaxMessageBytes.
inline constexpr int kListPageBytes = 48 * 1024;

// {"path": absolute file}: writes a PNG of the top-most window there.
RequestOutcome HandleScreenshot(const QJsonObject& request, const RequestTargets& targets);
// {"from": first row}: one page of the named controls.
RequestOutcome HandleUiList(const QJsonObject& request, const RequestTargets& targets);
// {"name"}: a left click at the control's centre.
RequestOutcome HandleUiClick(const QJsonObject& request, const RequestTargets& targets);
// {"name", "index"}: picks an item of a combo box, list or group of options.
RequestOutcome HandleUiSelect(const QJsonObject& request, const RequestTargets& targets);
// {"name", "text"}: types into an edit and finishes it with Return.
RequestOutcome HandleUiText(const QJsonObject& request, const RequestTargets& targets);
// {"name", "value"}: moves a slider to the value.
RequestOutcome HandleUiValue(const QJsonObject& request, const RequestTargets& targets);

// The JSON row of one control in the "app.ui.list" reply.
QJsonObject ControlToJson(const ControlInfo& control);

}  // namespace rerov::ipc
