#pragma once

#include "controls/control_base.h"

namespace rerov::ui {

/// A progress bar: range "min".."max", "value", horizontal unless "hor" is "false"; the filled
/// part is drawn in the fore colour and with the fore image.
class CProgressUI : public CLabelUI {
    Q_OBJECT
  public:
    using CLabelUI::CLabelUI;
    QString GetClass() const override { return QStringLiteral("Progress"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// Lower end of the range.
    int GetMinValue() const { return min_; }
    /// Upper end of the range.
    int GetMaxValue() const { return max_; }
    /// The current value.
    int GetValue() const { return value_; }
    /// Sets the range; repaints.
    void SetRange(int min, int max);
    /// Sets the value; repaints.
    void SetValue(int value);

  protected:
    void PaintForeColor(QPainter& painter, const QRect& paint) override;
    void PaintForeImage(QPainter& painter, const QRect& paint) override;
    /// The filled part of the control for the current value.
    QRect FilledRect() const;

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
};

}  // namespace rerov::ui
