#pragma once

#include "controls/control_base.h"

namespace rerov::ui {

/// A push button with status images ("normalimage", "hotimage", "pushedimage",
/// "disabledimage") and hot, pushed and captured states. A release inside after a press
/// inside activates it, which sends "click".
class CButtonUI : public CLabelUI {
    Q_OBJECT
  public:
    /// Creates a button with no images.
    explicit CButtonUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Button"); }
    bool SetAttribute(const QString& name, const QString& value) override;
    /// Sends "click" when enabled and visible, then shows page `BindTabIndex` of the tab layout
    /// named by BindTabLayoutName when both are set.
    bool Activate() override;
    /// Binds the button to a page of a tab layout of its window ("bindtabindex").
    void BindTabIndex(int index) { bindTabIndex_ = index; }
    /// Names the tab layout the button switches ("bindtablayoutname").
    void BindTabLayoutName(const QString& name) { bindTabLayout_ = name; }
    /// The bound page index, -1 when unbound.
    int GetBindTabLayoutIndex() const { return bindTabIndex_; }
    /// The bound tab layout name.
    QString GetBindTabLayoutName() const { return bindTabLayout_; }

    /// True while the mouse is over the enabled row.
    bool IsHot() const { return hot_; }
    /// True while pressed with the mouse inside.
    bool IsPushed() const { return pushed_; }
    /// True from a press inside until the release.
    bool IsCaptured() const { return captured_; }
    /// The "normalimage" description.
    QString GetNormalImage() const { return normalImage_; }

  protected:
    void PaintStatusImage(QPainter& painter, const QRect& paint) override;
    void PaintText(QPainter& painter, const QRect& paint) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    /// True for buttons that report the mouse entering and leaving with "msenter" and
    /// "msleave".
    virtual bool ReportsHover() const { return false; }

    /// True when `pos` (widget coordinates) lies inside the control.
    bool IsInside(const QPoint& pos) const { return rect().contains(pos); }

    bool hot_ = false;
    bool pushed_ = false;
    bool captured_ = false;
    QString normalImage_;
    QString hotImage_;
    QString pushedImage_;
    QString disabledImage_;
    quint32 hotBkColor_ = 0;
    quint32 hotTextColor_ = 0;
    quint32 pushedTextColor_ = 0;
    int bindTabIndex_ = -1;
    QString bindTabLayout_;
};

}  // namespace rerov::ui
