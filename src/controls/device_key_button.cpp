#include "controls/device_key_button.h"

#include <QMouseEvent>

#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : CButtonUI(parent) {}

bool CDeviceKeyButtonUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("lightimage")) {
        lightImage_ = value;
    } else if (name == QLatin1String("keysetimage")) {
        keySetImage_ = value;
    } else if (name == QLatin1String("keyunsetimage")) {
        keyUnsetImage_ = value;
    } else if (name == QLatin1String("gmnametextcolor")) {
        // Accepted for the layouts' sake; the key has no name text of that colour.
        quint32 ignored = 0;
        render::ParseColor(value, &ignored);
        return true;
    } else {
        return CButtonUI::SetAttribute(name, value);
    }
    update();
    return true;
}

void CDeviceKeyButtonUI::SetKeySetMarkHidden(int hidden) {
    if (setMarkHidden_ == hidden) return;
    setMarkHidden_ = hidden;
    update();
}

void CDeviceKeyButtonUI::SetKeyUnsetMarkHidden(int hidden) {
    if (unsetMarkHidden_ == hidden) return;
    unsetMarkHidden_ = hidden;
    update();
}

void CDeviceKeyButtonUI::SetPendingMark(int pending) {
    if (pendingMark_ == pending) return;
    pendingMark_ = pending;
    update();
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& painter, const QRect& paint) {
    CButtonUI::PaintStatusImage(painter, paint);
    // A light at level 0 tints to nothing: skip the per-pixel work (dark modes leave most
    // keys there).
    if (lightOn_ != 0 && lightLevel_ > 0 && !lightImage_.isEmpty()) {
        const ImageTint tint{lightColour_, lightLevel_, true};
        render::DrawImageString(painter, rect(), paint, lightImage_, &tint);
    }
    if (unsetMarkHidden_ == 0 && !keyUnsetImage_.isEmpty()) {
        render::DrawImageString(painter, rect(), paint, keyUnsetImage_);
    }
    if (setMarkHidden_ == 0 && !keySetImage_.isEmpty()) {
        render::DrawImageString(painter, rect(), paint, keySetImage_);
    }
}

void CDeviceKeyButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() && IsInside(event->position().toPoint())) {
        pushed_ = captured_ = true;
        SendNotify(this, QStringLiteral("dbclick"));
        update();
        return;
    }
    CButtonUI::mouseDoubleClickEvent(event);
}

}  // namespace rerov::ui
