#pragma once
// Which windows and named controls a person can see and act on now, and how each one looks
// to them (ControlInfo). UI thread only.

#include <QList>
#include <QString>

#include "shell/ui_remote.h"

class QWidget;

namespace rerov::remote_ui {

// The top-most open modal window, or null when none is open.
QWidget* TopModalWindow();
// The main window (may be null), then every open modal window, the top-most last.
QList<QWidget*> OpenWindows(QWidget* mainWindow);
// True for names the inventory lists: set, and not Qt's own ("qt_...").
bool IsListedName(const QString& name);
// The named widgets of `window` in tree order, the window first when it is named itself;
// windows of their own below it (dialogs owned by it, pop-ups) are not part of it.
QList<QWidget*> NamedControls(QWidget* window);
// The name `ui list` shows for `control`: its object name, with "#K" added when K other
// controls before it in its window have the same name (the entries of a list repeat them).
QString ListedName(QWidget* control);
// The control named `name` ("name" or "name#K"): the top-most window that has one wins;
// of several with that name the one shown, when only one is. Null with *error otherwise.
QWidget* FindNamedControl(QWidget* mainWindow, const QString& name, QString* error);
// How `control` looks now.
ControlInfo Describe(QWidget* control);

}  // namespace rerov::remote_ui
