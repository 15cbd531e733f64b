#pragma once

#include <array>

#include "controls/control_base.h"

namespace rerov::ui {

/// A bar view of 500 samples: a white field with one black line every second pixel whose height
/// is sample * height / 8192. The samples start as 0, 1, ... 255 and then 0.
class CAudioRecordUI : public CLabelUI {
    Q_OBJECT
  public:
    /// Creates the view with its initial samples.
    explicit CAudioRecordUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("AudioRecord"); }

    static constexpr int kSampleCount = 500;
    /// The samples shown.
    const std::array<int, kSampleCount>& Samples() const { return samples_; }

  protected:
    void PaintBkColor(QPainter& painter, const QRect& paint) override;
    void PaintForeImage(QPainter&, const QRect&) override {}

  private:
    std::array<int, kSampleCount> samples_{};
};

}  // namespace rerov::ui
