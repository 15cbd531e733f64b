#pragma once

#include <QImage>

#include "controls/control_base.h"

namespace rerov::ui {

/// A colour picker: a field of hue (left to right) and saturation (top full, bottom grey)
/// and, at its right edge, a bar of brightness. A press or drag moves the marker and shows
/// the colour at once; the release sends "colorchanged", so a drag is one change. The
/// colour is 0xFFRRGGBB.
class CColorPaletteUI : public CControlUI {
    Q_OBJECT
  public:
    /// Width of the brightness bar and of the gap before it, in design pixels.
    static constexpr int kBarWidth = 12;
    static constexpr int kBarGap = 6;

    explicit CColorPaletteUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("ColorPalette"); }

    /// Shows `argb` (alpha ignored): the marker moves to its hue and saturation, the bar to
    /// its brightness. Sends nothing.
    void SetSelectColor(quint32 argb);
    /// The colour shown, 0xFFRRGGBB.
    quint32 GetSelectColor() const;

    /// Hue (0-359, -1 for greys), saturation and value (0-255) of the shown colour.
    int Hue() const { return hue_; }
    int Saturation() const { return saturation_; }
    int Value() const { return value_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    enum class Drag { None, Field, Bar };
    QRect FieldRect() const;
    QRect BarRect() const;
    void PickAt(const QPoint& pos);
    void RebuildField();

    quint32 colour_ = 0xFFFFFFFFu;  // exactly as set or picked; HSV only places the markers
    int hue_ = 0;
    int saturation_ = 0;
    int value_ = 255;
    Drag drag_ = Drag::None;
    QImage field_;  // the hue/saturation field at full brightness, at the widget's size
};

}  // namespace rerov::ui
