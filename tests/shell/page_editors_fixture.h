#pragma once
// The main window on the simulator with the keyboard plugged, its profiles in a data
// folder of the test's own: the fixture of the profile bar and lighting editor tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "devices/pages/device_page.h"
#include "devices/pages/page_editors.h"
#include "editors/lighting/light_control_ui.h"
#include "editors/profile_bar/device_profile_ui.h"
#include "profiles/json_file_io.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_environment.h"

namespace rerov::shell::test {

// Runs `act` on the first modal window that opens other than `previous` (polled on later
// rounds of the event loop).
inline void OnNextModal(QWidget* previous, std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [previous, act = std::move(act)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == previous) {
            OnNextModal(previous, std::move(act));
            return;
        }
        act(modal);
    });
}

class PageEditorsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        dataHome_.emplace("XDG_DATA_HOME", data_.path().toUtf8());
        sim_ = std::make_unique<MainWindowOnSim>();
        ASSERT_NE(sim_->window, nullptr);
        wnd = sim_->window.get();
        wnd->show();
        sim_->Plug(sim::SimPath::KeyboardCable);
        ASSERT_SOON(wnd->CurrentDevicePage() != nullptr &&
                    wnd->CurrentDevicePage() == wnd->PageOfFamily(kFamilyKeyboard));
        page = wnd->CurrentDevicePage();
        ASSERT_NE(page->Editors(), nullptr);
        bar = page->Editors()->ProfileBar();
        editor = page->Editors()->LightEditor();
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(editor, nullptr);
    }

    void TearDown() override {
        sim_.reset();
        dataHome_.reset();
    }

    std::filesystem::path Folder() const { return page->Device().ProfileFolder(); }

    // The "LightInfo" member `key` of the page's profile file as it is on disk.
    int StoredLight(const char* key) const {
        const Json::Value root = JsonFileIO::ReadJsonFile(page->Editors()->ProfilePath());
        const Json::Value& value = root["Device"][0]["LightInfo"][key];
        return value.isInt() ? value.asInt() : -1;
    }

    QTemporaryDir data_;
    std::optional<::rerov::test::ScopedEnvironment> dataHome_;
    std::unique_ptr<MainWindowOnSim> sim_;
    CMainWnd* wnd = nullptr;
    CDevicePageUI* page = nullptr;
    profile_bar::CDeviceProfileUI* bar = nullptr;
    lighting::CLightControlUI* editor = nullptr;
};

}  // namespace rerov::shell::test
