#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include "controls/layout_builder.h"
#include "controls/notification.h"
#include "controls/notify_pump.h"

namespace rerov::ui {

class NotifyBridge;

/// The base of the main window and the dialogs: a frameless window whose content is built from
/// a layout of the skin, with a notification bridge feeding Notify, "windowinit" on first show,
/// centring, a modal loop with a result, and dragging by the caption strip. UI thread only.
class CWindowBase : public QWidget, public INotifyUI, public IDialogBuilderCallback {
    Q_OBJECT
  public:
    /// A frameless window owned by `owner` (may be null); Create builds it.
    explicit CWindowBase(QWidget* owner = nullptr);
    ~CWindowBase() override;

    /// The resource name of the window's layout ("XML_MAIN" for the main window).
    virtual QString GetSkinFile() const = 0;
    /// The window class name, kept as the object name of the window.
    virtual QString GetWindowClassName() const { return QStringLiteral("WindowBase"); }
    /// Creates controls for layout tags the factory does not know; none by default.
    QWidget* CreateControl(const QString& tag) override;
    /// Receives every notification of the window's controls; by default hands it to Pump().
    void Notify(const Notification& msg) override;
    /// The window's routing table by notification type and control name.
    NotifyPump& Pump() { return pump_; }

    /// Builds the layout, sets the title and the client size. Returns false when the layout
    /// cannot be built (the window then stays empty).
    bool Create(const QString& title, const QSize& size);
    /// Centres the window over its owner, or on the screen without one.
    void CenterWindow();
    /// Shows the window modally and returns the value given to Close.
    int ShowModal();
    /// Closes the window; a modal loop returns `result`.
    void Close(int result = 0);
    /// True while ShowModal runs.
    bool IsModalRunning() const { return loop_ != nullptr; }

    /// The root control built from the layout, or null.
    QWidget* Root() const { return root_; }
    /// The control named `name` in this window, or null.
    QWidget* FindControl(const QString& name) const;
    /// The window's notification bridge.
    NotifyBridge* Bridge() const { return bridge_; }
    /// Saves a picture of the window as it looks now (PNG by the file suffix); false on failure.
    bool SaveScreenshot(const QString& path);
    /// Height of the strip at the top that drags the window (layout attribute "caption"), in
    /// design pixels.
    void SetCaptionHeight(int height) { captionHeight_ = height; }

    /// Scales the window's content, designed at 96 DPI, by `scale` (dpi / 96): fixed sizes,
    /// margins, spacing, positions and fonts of every control, the caption strip. Applying
    /// it again (after controls were added) scales the new controls and leaves the rest.
    void SetContentScale(qreal scale);
    /// The factor of the last SetContentScale (1 by design).
    qreal ContentScale() const { return contentScale_; }

  protected:
    /// Called once after the layout was built, before "windowinit".
    virtual void InitWindow() {}
    /// The caption buttons a dialog shares: "minbtn" minimises, "maxbtn" maximises (lifting
    /// a fixed size), "restorebtn" restores. True when `name` was one of them.
    bool HandleCaptionButton(const QString& name);
    /// Shows "maxbtn" while the window is not maximised and "restorebtn" while it is.
    void ShowMaximisedState();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    NotifyBridge* bridge_ = nullptr;
    NotifyPump pump_;
    QWidget* root_ = nullptr;
    QEventLoop* loop_ = nullptr;
    int result_ = 0;
    int captionHeight_ = 40;
    qreal contentScale_ = 1.0;
    bool initSent_ = false;
};

}  // namespace rerov::ui
