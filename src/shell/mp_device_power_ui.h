#pragma once
// The power display of a device page: battery level, charge state, wireless logo and, for
// the mouse pad, the kind of phone lying on it.

#include <QPointer>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "controls/option_ui.h"
#include "controls/progress_ui.h"

namespace rerov::shell {

/// A battery gauge: the charged part in the background colour from the left, the part the
/// value counts (the spent part, 100 - level) in the fore colour from the right; the border
/// colour draws the outline and the terminal.
class CPowerBarUI : public ui::CProgressUI {
    Q_OBJECT
  public:
    using ui::CProgressUI::CProgressUI;
    QString GetClass() const override { return QStringLiteral("PowerBar"); }

  protected:
    void PaintBkColor(QPainter& painter, const QRect& paint) override;
    void PaintForeColor(QPainter& painter, const QRect& paint) override;
    void PaintBorder(QPainter& painter, const QRect& paint) override;

  private:
    static constexpr int kNubWidth = 3;
    // The battery's body: the control without its terminal.
    QRect BodyRect() const;
};

/// The power display ("MpDevicePower"), built from "XML\\CustomControlXML\\MpDevicePower.xml".
/// Its sub-controls are looked up by name on first use. UI thread only.
class CMpDevicePowerUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT
  public:
    using ui::CHorizontalLayoutUI::CHorizontalLayoutUI;
    QString GetClass() const override { return QStringLiteral("MpDevicePower"); }

    /// The device kind and role the display stands for (set at creation).
    void SetKindRole(int kind, int role);
    /// The stored kind.
    int Kind() const { return kind_; }
    /// The stored role.
    int Role() const { return role_; }
    /// Shows "device_power_Layout" when `show`, hides it otherwise.
    void ShowPowerLayout(bool show);
    /// Shows a power status block (byte 0 level in percent, byte 1 charge state 0 powered,
    /// 1 charging, 2 on battery, byte 3 non-zero on the receiver, byte 5 phone type). At most
    /// 64 bytes are taken, a shorter block reads as zeros beyond its end; a null block reads
    /// as all zeros. Does nothing when one of the five controls is missing.
    void ShowPowerStatus(const uint8_t* block, size_t length);
    /// The base activation; on success sends "selectchanged".
    bool Activate() override;

  private:
    QWidget* Sub(QPointer<QWidget>* cache, const char* name);

    int kind_ = 0;
    int role_ = 0;
    QPointer<QWidget> value_;
    QPointer<QWidget> wirelessLogo_;
    QPointer<QWidget> progress_;
    QPointer<QWidget> status_;
    QPointer<QWidget> phoneType_;
    QPointer<QWidget> powerLayout_;
};

}  // namespace rerov::shell
