#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../support/gui_test_setup.h"

int main(int argc, char** argv) {
    rerov::testing::UseOffscreenPlatform();
    // Profiles the pages create go to a folder of their own, removed at the end.
    QTemporaryDir data;
    if (!data.isValid()) return 2;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::testing::SetUpTestSkin(app, fonts)) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
