#include "controls/control_factory.h"

#include "controls/layout_builder.h"

namespace rerov::ui {

ControlFactory& ControlFactory::Instance() {
    static ControlFactory instance;
    return instance;
}

void ControlFactory::RegistControl(const QString& className, ControlCreator creator) {
    if (!className.isEmpty() && creator) creators_.insert(className, std::move(creator));
}

QWidget* ControlFactory::CreateControl(const QString& className) const {
    const auto it = creators_.constFind(className);
    return it == creators_.cend() ? nullptr : (*it)();
}

QWidget* TagTable::Create(const QString& tag) const {
    for (const TagRow& row : rows_) {
        if (row.tag.compare(tag, Qt::CaseInsensitive) != 0) continue;
        if (row.create) return row.create();
        LayoutBuilder builder;
        return builder.Create(row.layout, nullptr, nullptr);
    }
    return nullptr;
}

}  // namespace rerov::ui
