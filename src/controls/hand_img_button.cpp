#include "controls/hand_img_button.h"

#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {

bool CHandImgButtonUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("handimage")) {
        handImage_ = value;
        update();
    } else if (name == QLatin1String("deletenormalimage")) {
        deleteNormalImage_ = value;
    } else if (name == QLatin1String("deletehotimage")) {
        deleteHotImage_ = value;
    } else {
        return CButtonUI::SetAttribute(name, value);
    }
    return true;
}

void CHandImgButtonUI::PaintStatusImage(QPainter& painter, const QRect& paint) {
    CButtonUI::PaintStatusImage(painter, paint);
    if (!handImage_.isEmpty()) render::DrawImageString(painter, rect(), paint, handImage_);
}

}  // namespace rerov::ui
