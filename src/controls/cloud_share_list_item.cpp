#include "controls/cloud_share_list_item.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {

bool CCloudShareListItemUI::Activate() {
    if (!CListContainerElementUI::Activate()) return false;
    SendNotify(this, QStringLiteral("itemactivate"));
    return true;
}

void CCloudShareListItemUI::DrawItemBk(QPainter& painter, const QRect& paint) {
    CListContainerElementUI::DrawItemBk(painter, paint);
    const CListUI* owner = GetOwner();
    if (owner == nullptr || !hot_ || selected_ || owner->GetListInfo().hotImage.isEmpty()) return;
    // The hover frame takes the list's selected-row colour: the accent of the row states.
    render::DrawRect(painter, rect(), 1, owner->GetListInfo().selectedBkColor);
}

void CCloudShareListItemUI::enterEvent(QEnterEvent* event) {
    if (isEnabled()) {
        hot_ = true;
        update();
    }
    event->accept();
}

void CCloudShareListItemUI::leaveEvent(QEvent* event) {
    hot_ = false;
    update();
    event->accept();
}

void CCloudShareListItemUI::contextMenuEvent(QContextMenuEvent* event) {
    if (!IsContextMenuUsed()) {
        event->ignore();
        return;
    }
    SendNotify(this, QStringLiteral("menu"), event->pos().x(), event->pos().y());
}

void CCloudShareListItemUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        Select();
        return;
    }
    CListContainerElementUI::mousePressEvent(event);
}

void CCloudShareListItemUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        Activate();
        return;
    }
    CListContainerElementUI::mouseDoubleClickEvent(event);
}

}  // namespace rerov::ui
