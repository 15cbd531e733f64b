#pragma once

#include "controls/control_base.h"

namespace rerov::ui {

/// The container of a page's key buttons. Dragging a rectangle over it selects exactly the
/// direct "DeviceKeyButton" children whose rectangles it touches and sends "click_select_end".
/// A press and release without a move selects nothing and sends nothing.
class CSelectPanelUI : public CVerticalLayoutUI {
    Q_OBJECT
  public:
    /// Creates an empty panel.
    explicit CSelectPanelUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("SelectPanel"); }

    /// The rectangle of the current or last drag, in panel coordinates.
    QRect SelectionRect() const { return selection_; }
    /// True while a drag is under way.
    bool IsDragging() const { return dragging_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Press(const QPoint& pos);
    void Move(const QPoint& pos);
    void Release();

    bool pressed_ = false;
    bool dragging_ = false;
    QPoint anchor_;
    QRect selection_;
};

}  // namespace rerov::ui
