#pragma once

#include <QString>
#include <QStringList>
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

/// Looks up the named sub-controls of a built layout one by one and remembers the names it
/// did not find (or found of another class), so that a builder reports them all at once.
class SubControlBinder {
  public:
    explicit SubControlBinder(const QWidget* container) : container_(container) {}

    template <typename T>
    T* operator()(T** slot, const QString& name) {
        *slot = FindSubControl<T>(container_, name);
        if (*slot == nullptr) missing_ << name;
        return *slot;
    }
    template <typename T>
    T* operator()(T** slot, const char* name) {
        return (*this)(slot, QString::fromLatin1(name));
    }

    /// True when every control was found; otherwise `error` (when given) names the missing.
    bool Complete(QString* error) const {
        if (missing_.isEmpty()) return true;
        if (error != nullptr) *error = QStringLiteral("missing controls: ") + missing_.join(u' ');
        return false;
    }

  private:
    const QWidget* container_;
    QStringList missing_;
};

/// The name of a repeated control: prefix followed by the decimal index ("%s%d").
QString IndexedName(const QString& prefix, int index);

}  // namespace rerov::ui
