// The page tells its device whether the preview is on screen: shown in a shown window, not
// behind another page, the window not minimised and not hidden (to the tray).

#include <gtest/gtest.h>

#include <QStackedWidget>
#include <QVBoxLayout>
#include <memory>

#include "devices/pages/device_page.h"

namespace rerov {
namespace {

class DevicePagePreview : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        stack_ = new QStackedWidget(window_.get());
        layout->addWidget(stack_);
        page_ = new CDevicePageUI(std::make_unique<CZidiraUSBDevice>());
        stack_->addWidget(page_);
        other_ = new QWidget;
        stack_->addWidget(other_);
        stack_->setCurrentWidget(page_);
    }

    bool Visible() { return page_->Device().PreviewVisible(); }

    std::unique_ptr<QWidget> window_;
    QStackedWidget* stack_ = nullptr;
    CDevicePageUI* page_ = nullptr;
    QWidget* other_ = nullptr;
};

TEST_F(DevicePagePreview, FollowsTheWindowAndThePageShown) {
    page_->UpdatePreviewVisibility();
    EXPECT_FALSE(Visible()) << "a window not yet shown";

    window_->show();
    EXPECT_TRUE(Visible());

    stack_->setCurrentWidget(other_);
    EXPECT_FALSE(Visible()) << "another page shown";
    stack_->setCurrentWidget(page_);
    EXPECT_TRUE(Visible());

    window_->hide();
    EXPECT_FALSE(Visible()) << "hidden to the tray";
    window_->show();
    EXPECT_TRUE(Visible());
}

TEST_F(DevicePagePreview, AMinimisedWindowHidesThePreview) {
    window_->show();
    ASSERT_TRUE(Visible());
    window_->setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(Visible());
    window_->setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(Visible());
}

}  // namespace
}  // namespace rerov
