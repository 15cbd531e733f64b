#include "controls/color_palette.h"

#include <QColor>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "controls/notification.h"

namespace rerov::ui {
namespace {

constexpr int kMaxHue = 359;
constexpr int kMaxLevel = 255;
constexpr qreal kCorner = 4.0;

// Position `pos` in [0, extent - 1] as a level of 0..maxLevel.
int LevelAt(int pos, int extent, int maxLevel) {
    if (extent <= 1) return 0;
    return std::clamp(pos, 0, extent - 1) * maxLevel / (extent - 1);
}

// Level `level` of 0..maxLevel as a position in [0, extent - 1].
int PositionOf(int level, int extent, int maxLevel) {
    if (extent <= 1 || maxLevel <= 0) return 0;
    return level * (extent - 1) / maxLevel;
}

}  // namespace

CColorPaletteUI::CColorPaletteUI(QWidget* parent) : CControlUI(parent) {
    setMinimumSize(60, 40);
    setCursor(Qt::CrossCursor);
}

QRect CColorPaletteUI::BarRect() const {
    const qreal scale = FontScale();
    const int bar = qRound(kBarWidth * scale);
    return QRect(width() - bar, 0, bar, height());
}

QRect CColorPaletteUI::FieldRect() const {
    const qreal scale = FontScale();
    const int used = qRound((kBarWidth + kBarGap) * scale);
    return QRect(0, 0, std::max(1, width() - used), height());
}

void CColorPaletteUI::SetSelectColor(quint32 argb) {
    colour_ = 0xFF000000u | (argb & 0xFFFFFFu);
    const QColor colour = QColor::fromRgb(argb & 0xFFFFFFu);
    hue_ = colour.hsvHue();
    saturation_ = colour.hsvSaturation();
    value_ = colour.value();
    update();
}

quint32 CColorPaletteUI::GetSelectColor() const { return colour_; }

void CColorPaletteUI::RebuildField() {
    const QRect field = FieldRect();
    if (field.width() <= 0 || field.height() <= 0) {
        field_ = QImage();
        return;
    }
    field_ = QImage(field.size(), QImage::Format_RGB32);
    for (int y = 0; y < field.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
        const int saturation = kMaxLevel - LevelAt(y, field.height(), kMaxLevel);
        for (int x = 0; x < field.width(); ++x) {
            line[x] =
                QColor::fromHsv(LevelAt(x, field.width(), kMaxHue), saturation, kMaxLevel).rgb();
        }
    }
}

void CColorPaletteUI::resizeEvent(QResizeEvent* event) {
    CControlUI::resizeEvent(event);
    RebuildField();
}

void CColorPaletteUI::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect field = FieldRect();
    const QRect bar = BarRect();
    if (field_.size() != field.size()) RebuildField();

    // The field, its brightness dimmed to the chosen value so it shows what a pick gives.
    QPainterPath fieldPath;
    fieldPath.addRoundedRect(field, kCorner, kCorner);
    painter.save();
    painter.setClipPath(fieldPath);
    painter.drawImage(field.topLeft(), field_);
    painter.fillRect(field, QColor(0, 0, 0, kMaxLevel - value_));
    painter.restore();

    // The brightness bar: the chosen hue and saturation from full to black.
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0.0, QColor::fromHsv(std::max(hue_, 0), saturation_, kMaxLevel));
    gradient.setColorAt(1.0, Qt::black);
    painter.setPen(QColor(0x3A, 0x41, 0x4E));
    painter.setBrush(gradient);
    painter.drawRoundedRect(bar.adjusted(0, 0, -1, -1), kCorner, kCorner);
    if (!isEnabled()) {
        painter.fillRect(rect(), QColor(0x12, 0x15, 0x1B, 170));
        return;
    }

    // Markers: a ring on the field, a notch on the bar, drawn light over dark.
    const QPoint at(field.left() + PositionOf(std::max(hue_, 0), field.width(), kMaxHue),
                    field.top() + PositionOf(kMaxLevel - saturation_, field.height(), kMaxLevel));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawEllipse(at, 6, 6);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawEllipse(at, 6, 6);
    const int notchY = bar.top() + PositionOf(kMaxLevel - value_, bar.height(), kMaxLevel);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(QRect(bar.left() - 2, notchY - 2, bar.width() + 3, 4));
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawRect(QRect(bar.left() - 2, notchY - 2, bar.width() + 3, 4));
}

void CColorPaletteUI::PickAt(const QPoint& pos) {
    if (drag_ == Drag::Field) {
        const QRect field = FieldRect();
        hue_ = LevelAt(pos.x() - field.left(), field.width(), kMaxHue);
        saturation_ = kMaxLevel - LevelAt(pos.y() - field.top(), field.height(), kMaxLevel);
        // A pick in the field means a colour the user can see: a black value would hide it.
        if (value_ == 0) value_ = kMaxLevel;
    } else if (drag_ == Drag::Bar) {
        const QRect bar = BarRect();
        value_ = kMaxLevel - LevelAt(pos.y() - bar.top(), bar.height(), kMaxLevel);
    }
    const QColor colour = QColor::fromHsv(std::max(hue_, 0), saturation_, value_);
    colour_ = 0xFF000000u | (colour.rgb() & 0xFFFFFFu);
    update();
}

void CColorPaletteUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        CControlUI::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    drag_ =
        pos.x() >= BarRect().left() - qRound(kBarGap * FontScale() / 2) ? Drag::Bar : Drag::Field;
    PickAt(pos);
}

void CColorPaletteUI::mouseMoveEvent(QMouseEvent* event) {
    if (drag_ != Drag::None) PickAt(event->position().toPoint());
}

void CColorPaletteUI::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ == Drag::None || event->button() != Qt::LeftButton) {
        CControlUI::mouseReleaseEvent(event);
        return;
    }
    PickAt(event->position().toPoint());
    drag_ = Drag::None;
    SendNotify(this, notify_type::kColorChanged, GetSelectColor());
}

}  // namespace rerov::ui
