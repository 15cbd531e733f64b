#include "controls/tray_icon.h"

#include <QSystemTrayIcon>

namespace rerov::ui {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

TrayIcon::~TrayIcon() { DeleteTrayIcon(); }

bool TrayIcon::CreateTrayIcon(const QIcon& icon, const QString& toolTip) {
    DeleteTrayIcon();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    icon_ = new QSystemTrayIcon(icon, this);
    icon_->setToolTip(toolTip);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) emit leftClicked();
                if (reason == QSystemTrayIcon::Context) emit rightClicked();
            });
    icon_->show();
    return true;
}

void TrayIcon::DeleteTrayIcon() {
    if (icon_) {
        icon_->hide();
        delete icon_;
    }
}

}  // namespace rerov::ui
