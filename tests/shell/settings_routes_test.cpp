// The main window's ways into the settings window: "setbtn" places it below the caption's
// right end, the tray menu centres it, a second request while it is open does nothing, the
// updater's relay reaches it, and the window gets one row per connected product.

#include "shell/routes/settings_routes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QScreen>
#include <QTimer>

#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "devices/pages/device_page.h"
#include "shell/settings/set_wnd.h"
#include "shell/settings/software_version.h"
#include "shell/settings/update_info_list_item.h"
#include "tests/shell/main_window_fixture.h"

namespace rerov::shell::test {
namespace {

using sim::SimPath;

TEST(SettingsPlacement, TheRightEdgeAndTopFollowTheMainWindowScaledByDpi) {
    const QRect main(100, 50, 1000, 640);
    EXPECT_EQ(PlacedSettingsGeometry(main, QSize(630, 500), 96), QRect(440, 110, 630, 500));
    EXPECT_EQ(PlacedSettingsGeometry(main, QSize(945, 750), 144), QRect(110, 140, 945, 750));
}

// What the open settings window showed, seen from inside its modal loop.
struct SeenWindow {
    bool open = false;
    QRect geometry;
    std::vector<QString> names;
    std::vector<QString> revisions;
};

// Once the settings window is up, notes what it shows, runs `inside`, then closes it.
void InspectNextSettingsWindow(CMainWnd* wnd, SeenWindow* seen,
                               const std::function<void(CSetWnd*)>& inside = {}) {
    QTimer::singleShot(0, [wnd, seen, inside] {
        CSetWnd* settings = wnd->SettingsWindow();
        if (settings == nullptr || QApplication::activeModalWidget() != settings) return;
        seen->open = true;
        seen->geometry = settings->geometry();
        for (CUpdateInfoListItemUI* row : settings->Rows()) {
            seen->names.push_back(row->ProductName());
            seen->revisions.push_back(row->CurrentRevision());
        }
        if (inside) inside(settings);
        if (wnd->SettingsWindow() != nullptr) wnd->CloseSettingsWindow();
    });
}

TEST_F(MainWindow, SetbtnOpensTheSettingsWindowPlacedWithARowPerConnectedProduct) {
    sim.Plug(SimPath::KeyboardCable);
    ASSERT_SOON(KeyboardLink().IsConnected());
    // The window is placed from where the main window is: once its monitor fit is done.
    const QSize fitted = FitToMonitor(wnd->screen()->geometry()).size;
    ASSERT_SOON(wnd->size() == fitted);
    SeenWindow seen;
    int nestedOpens = 0;
    SettingsRelayOutcome relay;
    InspectNextSettingsWindow(wnd, &seen, [&](CSetWnd* settings) {
        // A second request while it is open does nothing (and returns at once).
        wnd->OnMenuCommand(QStringLiteral("setwnd_menu"));
        nestedOpens += wnd->SettingsWindow() == settings ? 0 : 1;
        // An updater's message with no update running closes it.
        relay = wnd->RelayToSettings(4, 30);
    });
    QTest::mouseClick(wnd->FindControl(QStringLiteral("setbtn")), Qt::LeftButton);
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(nestedOpens, 0);
    EXPECT_EQ(seen.geometry.topLeft(),
              PlacedSettingsGeometry(wnd->geometry(), seen.geometry.size(), wnd->Dpi()).topLeft());
    // The keyboard (the simulator reports version 1.05) and the program; absent mouse and
    // mouse pad are left out.
    ASSERT_EQ(seen.names.size(), 2u);
    EXPECT_EQ(seen.names[0], QString::fromUtf8(kProductRecords[kFamilyKeyboard].displayName));
    EXPECT_EQ(seen.revisions[0], "V1.0.5");
    EXPECT_EQ(seen.names[1], ui::Tr(QStringLiteral("update_row_program")));
    EXPECT_EQ(seen.revisions[1], QStringLiteral("V") + VersionText(SoftwareVersion()));
    EXPECT_TRUE(relay.delivered);
    EXPECT_TRUE(relay.windowClosed);
    EXPECT_EQ(wnd->SettingsWindow(), nullptr) << "gone once its loop returned";
    EXPECT_FALSE(wnd->RelayToSettings(4, 30).delivered) << "no window: nothing takes it";
}

TEST_F(MainWindow, TheTrayMenuAndTheChannelOpenTheSettingsWindowCentred) {
    SeenWindow seen;
    InspectNextSettingsWindow(wnd, &seen);
    wnd->OnMenuCommand(QStringLiteral("setwnd_menu"));
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(seen.geometry.center(), wnd->screen()->availableGeometry().center());
    ASSERT_EQ(seen.names.size(), 1u) << "no device: the program's row only";

    // The channel's request returns before the modal window runs.
    SeenWindow fromChannel;
    EXPECT_TRUE(wnd->OpenSettings());
    EXPECT_EQ(wnd->SettingsWindow(), nullptr);
    InspectNextSettingsWindow(wnd, &fromChannel);
    ASSERT_SOON(fromChannel.open);
    ASSERT_SOON(wnd->SettingsWindow() == nullptr);
}

TEST_F(MainWindow, UpToDateClearsTheUpdateBadgeOfSetbtn) {
    auto* setbtn = qobject_cast<ui::CControlUI*>(wnd->FindControl(QStringLiteral("setbtn")));
    ASSERT_NE(setbtn, nullptr);
    const QImage plain = setbtn->grab().toImage();
    setbtn->SetAttribute(QStringLiteral("foreimage"), QStringLiteral("images/led_light.svg"));
    ASSERT_NE(setbtn->grab().toImage(), plain) << "the badge shows on the button";
    SeenWindow seen;
    InspectNextSettingsWindow(wnd, &seen,
                              [](CSetWnd* settings) { settings->SetStatus(kStatusUpToDate); });
    wnd->OnMenuCommand(QStringLiteral("setwnd_menu"));
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(setbtn->grab().toImage(), plain) << "the badge is gone";
}

}  // namespace
}  // namespace rerov::shell::test
