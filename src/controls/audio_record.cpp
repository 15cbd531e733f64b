#include "controls/audio_record.h"

#include <QPainter>
#include <algorithm>

#include "controls/render_engine.h"

namespace rerov::ui {

CAudioRecordUI::CAudioRecordUI(QWidget* parent) : CLabelUI(parent) {
    for (int i = 0; i < 256; ++i) samples_[i] = i;
}

void CAudioRecordUI::PaintBkColor(QPainter& painter, const QRect&) {
    render::DrawColor(painter, rect(), GetAdjustColor(0xFFFFFFFF));
    const int h = height();
    const QColor black = QColor::fromRgba(GetAdjustColor(0xFF000000));
    int x = 0;
    for (int i = 0; i < kSampleCount && x < width(); ++i, x += 2) {
        // From top + (H - v*H/8192) down to the last row; a zero sample still marks the floor.
        const int top = std::clamp(h - samples_[i] * h / 8192, 0, h - 1);
        painter.fillRect(QRect(x, top, 1, h - top), black);
    }
}

}  // namespace rerov::ui
