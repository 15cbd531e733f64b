#include "controls/circle_progress.h"

#include <QPainter>
#include <algorithm>

namespace rerov::ui {

int CCircleProgressUI::SweepDegrees() const {
    // An empty range would divide by zero; it shows no progress.
    if (max_ == min_) return 0;
    const double sweep = double(value_) / double(max_ - min_) * 360.0;
    return std::clamp(static_cast<int>(sweep), 0, 360);
}

void CCircleProgressUI::PaintBkColor(QPainter& painter, const QRect&) {
    if ((bkColor_ >> 24) == 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(GetAdjustColor(bkColor_)));
    painter.drawEllipse(QRectF(0, 0, width(), height()));
    painter.restore();
}

void CCircleProgressUI::PaintForeColor(QPainter& painter, const QRect&) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int sweep = SweepDegrees();
    if (sweep > 0) {
        painter.setBrush(QColor::fromRgba(GetAdjustColor(foreColor_)));
        // Qt counts angles counter-clockwise from three o'clock in 1/16 degree: six o'clock is
        // -90 degrees and a clockwise sweep is negative.
        painter.drawPie(QRectF(0, 0, width(), height()), -90 * 16, -sweep * 16);
    }
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(
        QRectF(kRingInset, kRingInset, width() - 2 * kRingInset, height() - 2 * kRingInset));
    painter.restore();
}

}  // namespace rerov::ui
