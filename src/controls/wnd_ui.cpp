#include "controls/wnd_ui.h"

namespace rerov::ui {

void CWndUI::Attach(QWidget* window) {
    window_ = window;
    Sync();
}

void CWndUI::Sync() {
    if (!window_) return;
    QRect target(QPoint(0, 0), size());
    if (window_->isWindow()) {
        // A separate window is placed in screen coordinates.
        target.moveTopLeft(mapToGlobal(QPoint(0, 0)));
    } else if (QWidget* host = window_->parentWidget()) {
        target.moveTopLeft(mapTo(window(), QPoint(0, 0)));
        target.moveTopLeft(host->mapFrom(window(), target.topLeft()));
    }
    window_->setGeometry(target);
    window_->setVisible(isVisible());
}

void CWndUI::moveEvent(QMoveEvent* event) {
    CControlUI::moveEvent(event);
    Sync();
}

void CWndUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    Sync();
}

void CWndUI::showEvent(QShowEvent* event) {
    CControlUI::showEvent(event);
    Sync();
}

void CWndUI::hideEvent(QHideEvent* event) {
    CControlUI::hideEvent(event);
    Sync();
}

}  // namespace rerov::ui
