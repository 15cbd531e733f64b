#include "controls/chart_view.h"

#include <QPainter>
#include <algorithm>

#include "controls/render_engine.h"

namespace rerov::ui {
namespace {
// Slice and pillar colours, taken in turn.
constexpr quint32 kPalette[] = {0xFF19C3FF, 0xFFFF4D6A, 0xFFFFB020, 0xFF3DDC84,
                                0xFFA66BFF, 0xFF00E0C6, 0xFFFF7A3D, 0xFF7F8AFF};
constexpr int kPaletteSize = sizeof(kPalette) / sizeof(kPalette[0]);
}  // namespace

bool CChartViewUI::SetAttribute(const QString& name, const QString& value) {
    const bool known = CControlUI::SetAttribute(name, value);
    if (name == QLatin1String("view")) {
        if (value == QLatin1String("pie")) view_ = kPie;
        if (value == QLatin1String("histpgram")) view_ = kHistogram;
    } else if (name == QLatin1String("shadowimage")) {
        shadowImage_ = value;
    } else if (name == QLatin1String("shadowimageheight")) {
        shadowHeight_ = value.toInt();
    } else if (name == QLatin1String("pillarimage")) {
        pillarImage_ = value;
    } else if (name == QLatin1String("pillarimagewidth")) {
        pillarWidth_ = value.toInt();
    } else if (name == QLatin1String("showhtml")) {
        showHtml_ = value == QLatin1String("true");
    } else if (name == QLatin1String("showtext")) {
        showText_ = value == QLatin1String("true");
    } else if (name == QLatin1String("font")) {
        chartFont_ = value.toInt();
    } else {
        return known;
    }
    update();
    return true;
}

void CChartViewUI::AddItem(const QString& label, double value) {
    items_.push_back({label, value});
    update();
}

void CChartViewUI::DoPaint(QPainter& painter, const QRect& paint) {
    if (!rect().intersects(paint)) return;
    CControlUI::DoPaint(painter, paint);
    if (view_ == kPie) {
        PaintPie(painter);
    } else {
        PaintHistogram(painter, paint);
    }
}

void CChartViewUI::PaintPie(QPainter& painter) {
    double total = 0;
    for (const Item& item : std::as_const(items_)) total += std::max(item.value, 0.0);
    if (items_.isEmpty() || total <= 0) return;
    const int side = std::min(width(), height()) - 8;
    const QRectF disc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    double start = 90.0;
    for (int i = 0; i < items_.size(); ++i) {
        const double span = std::max(items_[i].value, 0.0) / total * 360.0;
        painter.setBrush(QColor::fromRgba(kPalette[i % kPaletteSize]));
        painter.drawPie(disc, int(start * 16), int(-span * 16));
        start -= span;
    }
    painter.restore();
}

void CChartViewUI::PaintHistogram(QPainter& painter, const QRect& paint) {
    const int t = showText_ ? kTextStrip : 0;
    if (!shadowImage_.isEmpty()) {
        const QRect strip(0, height() - shadowHeight_ - t, width(), shadowHeight_);
        if (!render::DrawImageString(painter, strip, paint, shadowImage_)) shadowImage_.clear();
    }
    if (items_.isEmpty()) return;
    double top = 0;
    for (const Item& item : std::as_const(items_)) top = std::max(top, item.value);
    if (top <= 0) return;
    const int n = static_cast<int>(items_.size());
    const int slot = width() / n;
    const int pillar = pillarWidth_ > 0 ? std::min(pillarWidth_, slot) : std::max(slot / 2, 1);
    const int floor = height() - t - shadowHeight_;
    const QFont font = render::FontForIndex(chartFont_, FontScale());
    for (int i = 0; i < n; ++i) {
        const int h = int(std::max(items_[i].value, 0.0) / top * (floor - 4));
        const QRect bar(i * slot + (slot - pillar) / 2, floor - h, pillar, h);
        if (pillarImage_.isEmpty() || !render::DrawImageString(painter, bar, paint, pillarImage_)) {
            render::DrawColor(painter, bar, kPalette[i % kPaletteSize]);
        }
        if (showText_) {
            render::DrawText(painter, QRect(i * slot, height() - t, slot, t), items_[i].label,
                             textColor_, font, Qt::AlignCenter);
        }
    }
}

}  // namespace rerov::ui
