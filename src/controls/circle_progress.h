#pragma once

#include "controls/progress_ui.h"

namespace rerov::ui {

/// A ring gauge: the inscribed disc in the background colour, a pie in the fore colour from six
/// o'clock clockwise by value / (max - min) of a full turn (whole degrees), and a white centre
/// inset by 10 pixels. The fore image is never drawn.
class CCircleProgressUI : public CProgressUI {
    Q_OBJECT
  public:
    using CProgressUI::CProgressUI;
    QString GetClass() const override { return QStringLiteral("CircleProgress"); }

    /// The sweep in whole degrees for the current value (0 for an empty range).
    int SweepDegrees() const;

    /// Width of the ring between the outer edge and the white centre.
    static constexpr int kRingInset = 10;

  protected:
    void PaintBkColor(QPainter& painter, const QRect& paint) override;
    void PaintForeColor(QPainter& painter, const QRect& paint) override;
    void PaintForeImage(QPainter&, const QRect&) override {}
};

}  // namespace rerov::ui
