#include "shell/routes/settings_routes.h"

#include <mutex>

#include "devices/pages/device_page.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/main_wnd.h"
#include "shell/settings/version_list.h"

namespace rerov::shell {
namespace {

constexpr int kRightGap = 30;
constexpr int kTopGap = 60;

// The version the open interface reports (the USB release number) as the list keeps it;
// 0 while the interface is not open.
int InstalledVersion(DeviceLink& link, HidDevice& device) {
    const std::lock_guard<std::mutex> lock(link.IoLock());
    if (!device.IsOpen()) return 0;
    return VersionFromBcd(device.Attributes().versionNumber);
}

}  // namespace

void AddSettingsRoutes(CMainWnd& window) {
    window.Routes(ui::notify_type::kClick)
        .On(ui::notify_type::kClick, QStringLiteral("setbtn"),
            [&window](const ui::Notification&) { window.OpenSettingsWindow(false); });
    window.AddMenuCommand(QStringLiteral("setwnd_menu"),
                          [&window] { window.OpenSettingsWindow(true); });
}

QRect PlacedSettingsGeometry(const QRect& mainWindow, const QSize& size, int dpi) {
    const int right = mainWindow.x() + mainWindow.width() - kRightGap * dpi / kDesignDpi;
    const int top = mainWindow.y() + kTopGap * dpi / kDesignDpi;
    return {QPoint(right - size.width(), top), size};
}

std::vector<VersionEntry> VersionEntriesOf(const CMainWnd& window) {
    std::vector<VersionEntry> entries;
    for (int i = 0; i < window.EntryCount(); ++i) {
        VersionEntry entry;
        if (CDevicePageUI* page = window.PageOfEntry(i)) {
            DeviceLink& link = page->Device().MainLink();
            entry.familyIndex = page->Device().FamilyIndex();
            entry.connected = link.IsConnected();
            entry.receiverMode = link.IsReceiver();
            // The list entry shows the receiver exactly when the link uses it.
            entry.reportsReceiver = entry.receiverMode;
            entry.deviceVersion = InstalledVersion(link, link.Wired());
            entry.receiverVersion = InstalledVersion(link, link.Receiver());
        }
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace rerov::shell
