#include <gtest/gtest.h>

#include "../support/gui_test_setup.h"

int main(int argc, char** argv) {
    rerov::testing::UseOffscreenPlatform();
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::testing::SetUpTestSkin(app, fonts)) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
