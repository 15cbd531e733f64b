#pragma once

#include <QPointer>

#include "controls/control_base.h"

namespace rerov::ui {

/// A place-holder that keeps an attached window over its own rectangle and shows it exactly
/// while the control is visible. Nothing is attached at construction.
class CWndUI : public CControlUI {
    Q_OBJECT
  public:
    using CControlUI::CControlUI;
    QString GetClass() const override { return QStringLiteral("Wnd"); }

    /// Attaches a window (null detaches) and places it at once.
    void Attach(QWidget* window);
    /// The attached window, or null.
    QWidget* GetHWND() const { return window_; }

  protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Sync();
    QPointer<QWidget> window_;
};

}  // namespace rerov::ui
