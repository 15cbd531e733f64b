#include "controls/control_lookup.h"

namespace rerov::ui {

QWidget* FindControl(const QWidget* anyControl, const QString& name) {
    if (anyControl == nullptr || name.isEmpty()) return nullptr;
    const QWidget* top = anyControl->window();
    if (top->objectName() == name) return const_cast<QWidget*>(top);
    return FindSubControlByName(top, name);
}

QWidget* FindSubControlByName(const QWidget* container, const QString& name) {
    if (container == nullptr || name.isEmpty()) return nullptr;
    return container->findChild<QWidget*>(name);
}

QString IndexedName(const QString& prefix, int index) { return prefix + QString::number(index); }

}  // namespace rerov::ui
