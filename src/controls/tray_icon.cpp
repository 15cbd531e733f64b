#include "controls/tray_icon.h"

#include <QSystemTrayIcon>

namespace rerov::ui {

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent), available_(&QSystemTrayIcon::isSystemTrayAvailable) {}

TrayIcon::~TrayIcon() { DeleteTrayIcon(); }

bool TrayIcon::CreateTrayIcon(const QIcon& icon, const QString& toolTip) {
    DeleteTrayIcon();
    if (!available_ || !available_()) return false;
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

bool TrayIcon::ShowMessage(const QString& title, const QString& text) {
    if (!icon_) return false;
    icon_->showMessage(title, text, QSystemTrayIcon::Information);
    emit messageShown(title, text);
    return true;
}

void TrayIcon::SetAvailabilityProbe(std::function<bool()> probe) { available_ = std::move(probe); }

void TrayIcon::DeleteTrayIcon() {
    if (icon_) {
        icon_->hide();
        delete icon_;
    }
}

}  // namespace rerov::ui
