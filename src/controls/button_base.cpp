#include "controls/button_base.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "controls/control_lookup.h"
#include "controls/notification.h"
#include "controls/option_ui.h"
#include "controls/render_engine.h"

namespace rerov::ui {

CButtonUI::CButtonUI(QWidget* parent) : CLabelUI(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

bool CButtonUI::SetAttribute(const QString& name, const QString& value) {
    quint32 colour = 0;
    if (name == QLatin1String("normalimage")) {
        normalImage_ = value;
    } else if (name == QLatin1String("hotimage")) {
        hotImage_ = value;
    } else if (name == QLatin1String("pushedimage")) {
        pushedImage_ = value;
    } else if (name == QLatin1String("disabledimage")) {
        disabledImage_ = value;
    } else if (name == QLatin1String("hotbkcolor") && render::ParseColor(value, &colour)) {
        hotBkColor_ = colour;
    } else if (name == QLatin1String("hottextcolor") && render::ParseColor(value, &colour)) {
        hotTextColor_ = colour;
    } else if (name == QLatin1String("pushedtextcolor") && render::ParseColor(value, &colour)) {
        pushedTextColor_ = colour;
    } else if (name == QLatin1String("bindtabindex")) {
        bindTabIndex_ = value.toInt();
    } else if (name == QLatin1String("bindtablayoutname")) {
        bindTabLayout_ = value;
    } else {
        return CLabelUI::SetAttribute(name, value);
    }
    update();
    return true;
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    SendNotify(this, QStringLiteral("click"));
    if (bindTabIndex_ >= 0 && !bindTabLayout_.isEmpty()) {
        if (auto* tabs = qobject_cast<CTabLayoutUI*>(FindControl(this, bindTabLayout_))) {
            tabs->SelectItem(bindTabIndex_);
        }
    }
    return true;
}

void CButtonUI::PaintStatusImage(QPainter& painter, const QRect& paint) {
    if (hot_ && !pushed_ && isEnabled()) render::DrawColor(painter, rect(), hotBkColor_);
    const QString* image = &normalImage_;
    if (!isEnabled() && !disabledImage_.isEmpty()) {
        image = &disabledImage_;
    } else if (pushed_ && !pushedImage_.isEmpty()) {
        image = &pushedImage_;
    } else if (hot_ && !hotImage_.isEmpty()) {
        image = &hotImage_;
    }
    if (!image->isEmpty()) render::DrawImageString(painter, rect(), paint, *image);
}

void CButtonUI::PaintText(QPainter& painter, const QRect& paint) {
    quint32 colour = isEnabled() ? textColor_ : disabledTextColor_;
    if (pushed_ && pushedTextColor_ != 0) {
        colour = pushedTextColor_;
    } else if (hot_ && hotTextColor_ != 0) {
        colour = hotTextColor_;
    }
    (void)paint;
    render::DrawText(painter, rect().adjusted(4, 0, -4, 0), text_, colour, font_, textAlign_);
}

void CButtonUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return CLabelUI::mousePressEvent(event);
    if (isEnabled() && IsInside(event->position().toPoint())) {
        pushed_ = captured_ = true;
        update();
    }
}

void CButtonUI::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CButtonUI::mouseMoveEvent(QMouseEvent* event) {
    if (captured_) {
        pushed_ = IsInside(event->position().toPoint());
        update();
    }
}

void CButtonUI::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return CLabelUI::mouseReleaseEvent(event);
    if (!captured_) return;
    pushed_ = captured_ = false;
    update();
    if (IsInside(event->position().toPoint())) Activate();
}

void CButtonUI::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return) {
        Activate();
        return;
    }
    CLabelUI::keyPressEvent(event);
}

void CButtonUI::enterEvent(QEnterEvent* event) {
    if (isEnabled()) {
        hot_ = true;
        update();
        if (ReportsHover()) SendNotify(this, QStringLiteral("msenter"));
    }
    CLabelUI::enterEvent(event);
}

void CButtonUI::leaveEvent(QEvent* event) {
    if (isEnabled()) {
        hot_ = false;
        update();
        if (ReportsHover()) SendNotify(this, QStringLiteral("msleave"));
    }
    CLabelUI::leaveEvent(event);
}

}  // namespace rerov::ui
