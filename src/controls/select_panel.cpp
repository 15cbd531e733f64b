#include "controls/select_panel.h"

#include <QChildEvent>
#include <QMouseEvent>

#include "controls/device_key_button.h"
#include "controls/notification.h"

namespace rerov::ui {

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : CVerticalLayoutUI(parent) {}

// The keys take the mouse first; the panel watches their mouse events too, as the container
// sees every event of its children, so a drag may start on a key.
void CSelectPanelUI::childEvent(QChildEvent* event) {
    CVerticalLayoutUI::childEvent(event);
    if (event->added() && event->child()->isWidgetType()) {
        event->child()->installEventFilter(this);
    } else if (event->removed()) {
        event->child()->removeEventFilter(this);
    }
}

bool CSelectPanelUI::eventFilter(QObject* watched, QEvent* event) {
    auto* child = qobject_cast<QWidget*>(watched);
    if (child == nullptr || child->parentWidget() != this) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton) Press(child->mapToParent(me->position().toPoint()));
            break;
        }
        case QEvent::MouseMove:
            Move(child->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint()));
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) Release();
            break;
        default:
            break;
    }
    return false;
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event) {
    CVerticalLayoutUI::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        Press(event->position().toPoint());
        event->accept();  // the drag belongs to the panel, not to the window behind it
    }
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event) {
    CVerticalLayoutUI::mouseMoveEvent(event);
    Move(event->position().toPoint());
    event->accept();
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event) {
    CVerticalLayoutUI::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        Release();
        event->accept();
    }
}

void CSelectPanelUI::Press(const QPoint& pos) {
    if (!isEnabled()) return;
    pressed_ = true;
    anchor_ = pos;
}

void CSelectPanelUI::Move(const QPoint& pos) {
    if (pressed_) dragging_ = true;
    if (!dragging_) return;
    // Edges as spanned (right and bottom exclusive): a drag along one axis selects nothing.
    const QPoint topLeft(std::min(anchor_.x(), pos.x()), std::min(anchor_.y(), pos.y()));
    const QPoint bottomRight(std::max(anchor_.x(), pos.x()), std::max(anchor_.y(), pos.y()));
    selection_ =
        QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
    update();
}

void CSelectPanelUI::Release() {
    pressed_ = false;
    if (!dragging_) return;
    dragging_ = false;
    for (QObject* object : children()) {
        auto* key = qobject_cast<CDeviceKeyButtonUI*>(object);
        if (key == nullptr || key->GetClass() != QLatin1String("DeviceKeyButton")) continue;
        key->SetKeySelected(key->geometry().intersects(selection_) ? 1 : 0);
    }
    update();
    SendNotify(this, QStringLiteral("click_select_end"), 0, 0);
}

}  // namespace rerov::ui
