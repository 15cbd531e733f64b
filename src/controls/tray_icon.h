#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>

namespace rerov::ui {

/// The program's tray icon; reports left and right clicks. Where the desktop has no tray the
/// icon is simply not shown. UI thread only.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    /// No icon until CreateTrayIcon.
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    /// Shows the icon with a tool-tip; returns false when the desktop has no tray.
    bool CreateTrayIcon(const QIcon& icon, const QString& toolTip);
    /// Removes the icon.
    void DeleteTrayIcon();
    /// True while the icon exists.
    bool IsCreated() const { return icon_ != nullptr; }
    /// Shows a balloon message beside the icon; false (and nothing shown) without an icon.
    bool ShowMessage(const QString& title, const QString& text);
    /// Replaces the question "does the desktop have a tray?" (by default the system's
    /// answer), for a desktop whose tray cannot be observed here.
    void SetAvailabilityProbe(std::function<bool()> probe);

  signals:
    /// The icon was clicked with the left button.
    void leftClicked();
    /// The icon was clicked with the right button (context request).
    void rightClicked();
    /// ShowMessage showed a balloon message.
    void messageShown(const QString& title, const QString& text);

  private:
    QPointer<QSystemTrayIcon> icon_;
    std::function<bool()> available_;
};

}  // namespace rerov::ui
