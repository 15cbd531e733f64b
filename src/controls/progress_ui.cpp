#include "controls/progress_ui.h"

#include <QPainter>
#include <algorithm>

#include "controls/render_engine.h"

namespace rerov::ui {

bool CProgressUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("min")) {
        SetRange(value.toInt(), max_);
    } else if (name == QLatin1String("max")) {
        SetRange(min_, value.toInt());
    } else if (name == QLatin1String("value")) {
        SetValue(value.toInt());
    } else if (name == QLatin1String("hor")) {
        horizontal_ = value != QLatin1String("false");
        update();
    } else {
        return CLabelUI::SetAttribute(name, value);
    }
    return true;
}

void CProgressUI::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    update();
}

void CProgressUI::SetValue(int value) {
    value_ = value;
    update();
}

QRect CProgressUI::FilledRect() const {
    if (max_ <= min_) return {};
    const double part = std::clamp(double(value_ - min_) / double(max_ - min_), 0.0, 1.0);
    if (horizontal_) return QRect(0, 0, int(width() * part), height());
    const int h = int(height() * part);
    return QRect(0, height() - h, width(), h);
}

void CProgressUI::PaintForeColor(QPainter& painter, const QRect&) {
    render::DrawColor(painter, FilledRect(), GetAdjustColor(foreColor_));
}

void CProgressUI::PaintForeImage(QPainter& painter, const QRect& paint) {
    if (foreImage_.isEmpty()) return;
    const QRect filled = FilledRect();
    render::DrawImageString(painter, rect(), paint.intersected(filled), foreImage_);
}

}  // namespace rerov::ui
