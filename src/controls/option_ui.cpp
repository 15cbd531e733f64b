#include "controls/option_ui.h"

#include <QChildEvent>
#include <QHBoxLayout>

#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {

bool COptionUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("group")) {
        SetGroup(value);
    } else if (name == QLatin1String("selected")) {
        Selected(value == QLatin1String("true"), false);
    } else if (name == QLatin1String("selectedimage")) {
        selectedImage_ = value;
        update();
    } else if (name == QLatin1String("selectedhotimage")) {
        selectedHotImage_ = value;
        update();
    } else {
        return CButtonUI::SetAttribute(name, value);
    }
    return true;
}

void COptionUI::SetGroup(const QString& group) {
    group_ = group;
    if (selected_) {
        selected_ = false;
        Selected(true, false);
    }
}

void COptionUI::Selected(bool selected, bool notify) {
    if (selected_ == selected) return;
    selected_ = selected;
    if (selected_ && !group_.isEmpty()) {
        for (COptionUI* other : window()->findChildren<COptionUI*>()) {
            if (other != this && other->group_ == group_) other->Selected(false, notify);
        }
    }
    update();
    if (notify) SendNotify(this, QStringLiteral("selectchanged"), selected_ ? 1 : 0);
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    Selected(group_.isEmpty() ? !selected_ : true);
    return true;
}

void COptionUI::PaintStatusImage(QPainter& painter, const QRect& paint) {
    if (selected_) {
        const QString& image =
            hot_ && !selectedHotImage_.isEmpty() ? selectedHotImage_ : selectedImage_;
        if (!image.isEmpty()) {
            render::DrawImageString(painter, rect(), paint, image);
            return;
        }
    }
    CButtonUI::PaintStatusImage(painter, paint);
}

bool CTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("selectedid")) {
        current_ = value.toInt();
        Apply();
        return true;
    }
    return CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::Add(QWidget* child) {
    // The container shows what it adds; a page added later must not cover the selected one.
    CContainerUI::Add(child);
    Apply();
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= Items().size()) return false;
    current_ = index;
    Apply();
    return true;
}

void CTabLayoutUI::Apply() {
    const QList<QWidget*> items = Items();
    for (int i = 0; i < items.size(); ++i) {
        items[i]->setGeometry(rect());
        items[i]->setVisible(i == current_);
    }
}

void CTabLayoutUI::resizeEvent(QResizeEvent* event) {
    CContainerUI::resizeEvent(event);
    Apply();
}

void CTabLayoutUI::childEvent(QChildEvent* event) {
    CContainerUI::childEvent(event);
    if (event->type() == QEvent::ChildPolished) Apply();
}

void CHorizontalLayoutUI::Add(QWidget* child) {
    if (layout() == nullptr) {
        auto* box = new QHBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
    }
    CContainerUI::Add(child);
}

}  // namespace rerov::ui
