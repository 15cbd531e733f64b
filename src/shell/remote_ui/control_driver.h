#pragma once
// Turns one UiAction into the mouse and key events a person would cause, after checking it
// against the windows as they are now: the control exists, is not behind a modal window, is
// shown and enabled, and the item or value exists. UI thread only.

#include <QString>
#include <functional>

#include "shell/ui_remote.h"

class QWidget;

namespace rerov::remote_ui {

// Delivers the planned events; returns why the control did not end as asked (a validator
// refused the text, the combo's list did not open), empty when it did. It may not return
// until a modal window the events opened has closed.
using DeliverEvents = std::function<QString()>;

// The events of `action` on the controls of `mainWindow` and its modal windows; null with
// the reason in *error when the action cannot be carried out.
DeliverEvents PlanAction(QWidget* mainWindow, const UiAction& action, QString* error);

}  // namespace rerov::remote_ui
