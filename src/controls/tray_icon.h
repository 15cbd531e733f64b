#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

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

  signals:
    /// The icon was clicked with the left button.
    void leftClicked();
    /// The icon was clicked with the right button (context request).
    void rightClicked();

  private:
    QPointer<QSystemTrayIcon> icon_;
};

}  // namespace rerov::ui
