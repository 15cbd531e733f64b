#pragma once

#include <QString>
#include <QWidget>

namespace rerov::ui {

/// The control named `name` in the window of `anyControl` (searching from its top-level
/// widget), or null. The first match in creation order wins.
QWidget* FindControl(const QWidget* anyControl, const QString& name);

/// The control named `name` inside `container` (the container itself excluded), or null.
QWidget* FindSubControlByName(const QWidget* container, const QString& name);

/// Typed lookup inside a container; null when missing or of another class.
template <typename T>
T* FindSubControl(const QWidget* container, const QString& name) {
    return qobject_cast<T*>(FindSubControlByName(container, name));
}

/// The name of a repeated control: prefix followed by the decimal index ("%s%d").
QString IndexedName(const QString& prefix, int index);

}  // namespace rerov::ui
