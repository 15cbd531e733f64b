#pragma once
// The about window: the product, the program's version and where to find more.

#include <QString>
#include <functional>

#include "controls/window_base.h"

namespace rerov::shell {

/// The program's version as the build gives it ("1.0.0").
QString ProgramVersion();

/// The about window (layout "AboutWnd.xml"), opened modally by the main window's menu
/// item "about_menu". UI thread only.
class CAboutWnd : public ui::CWindowBase {
    Q_OBJECT
  public:
    /// The window's size at 96 DPI.
    static constexpr int kDesignWidth = 800;
    static constexpr int kDesignHeight = 572;

    explicit CAboutWnd(QWidget* owner = nullptr);

    QString GetSkinFile() const override { return QStringLiteral("AboutWnd.xml"); }
    QString GetWindowClassName() const override { return QStringLiteral("AboutWnd"); }
    void Notify(const ui::Notification& msg) override;

    /// Sets "software_ver_label" to the translated "software_rev_text" followed by the
    /// program's version.
    void ShowVersion();
    /// Scales the window to `dpi` (the main window's).
    void SetDpi(int dpi);

  protected:
    void InitWindow() override;
    void changeEvent(QEvent* event) override;

  private:
};

/// Opens the about window over `owner` at `dpi` and returns when it was closed; `opened`
/// (may be empty) gets the window before it shows, so the owner can close it with its
/// other secondary windows.
void ShowAboutWindow(QWidget* owner, int dpi, const std::function<void(QWidget*)>& opened = {});

}  // namespace rerov::shell
