#include "controls/combo_edit_container_element.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "controls/control_lookup.h"
#include "controls/layout_builder.h"
#include "controls/notification.h"

namespace rerov::ui {

QString CComboEditContainerElementUI::LayoutName() {
    return QStringLiteral("XML\\CustomControlXML\\ComboEditElementItem.xml");
}

bool CComboEditContainerElementUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("normalimage") || name == QLatin1String("hotimage") ||
        name == QLatin1String("selectedimage")) {
        return true;
    }
    return CContainerUI::SetAttribute(name, value);
}

void CComboEditContainerElementUI::DoInit() {
    LayoutBuilder builder;
    QWidget* root = builder.Create(LayoutName(), nullptr, nullptr);
    RemoveAll();
    if (root == nullptr) return;
    if (layout() == nullptr) {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
    }
    Add(root);
    // Each row keeps its own parts: a window-wide lookup would give every row the first row's.
    text1_ = FindSubControlByName(this, QStringLiteral("text1"));
    text2_ = FindSubControlByName(this, QStringLiteral("text2"));
    delayEdit_ = FindSubControlByName(this, QStringLiteral("delay_edit"));
}

void CComboEditContainerElementUI::OnControlTimer(int id) {
    SendNotify(this, QStringLiteral("timer"), id, 0);
}

void CComboEditContainerElementUI::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        if (Activate()) {
            update();
            SendNotify(this, QStringLiteral("return"));
        }
        return;
    }
    event->ignore();  // on to the owning list
}

void CComboEditContainerElementUI::mousePressEvent(QMouseEvent* event) {
    if (!mouseEnabled_ || !isEnabled()) return event->ignore();
    if (event->modifiers() & Qt::ControlModifier) {
        SelectMulti(!IsSelected());
    } else {
        Select();
    }
}

void CComboEditContainerElementUI::mouseReleaseEvent(QMouseEvent* event) {
    if (!mouseEnabled_ || !isEnabled()) return event->ignore();
    SendNotify(this, QStringLiteral("itemclick"));
}

void CComboEditContainerElementUI::mouseMoveEvent(QMouseEvent* event) {
    if (!mouseEnabled_) return event->ignore();
}

void CComboEditContainerElementUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!mouseEnabled_ || !isEnabled()) return event->ignore();
    if (Activate()) update();
}

void CComboEditContainerElementUI::enterEvent(QEnterEvent* event) {
    if (isEnabled()) {
        hot_ = true;
        update();
    }
    event->accept();
}

void CComboEditContainerElementUI::leaveEvent(QEvent* event) {
    hot_ = false;
    update();
    event->accept();
}

void CComboEditContainerElementUI::contextMenuEvent(QContextMenuEvent* event) {
    if (!IsContextMenuUsed()) return event->ignore();
    SendNotify(this, QStringLiteral("menu"), event->pos().x(), event->pos().y());
}

}  // namespace rerov::ui
