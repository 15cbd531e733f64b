#include <gtest/gtest.h>

#include <QApplication>

#include "controls/fonts.h"
#include "controls/skin_setup.h"

int main(int argc, char** argv) {
    // The pages draw on Qt's offscreen platform; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::ui::SetUpSkin(app, QStringLiteral(REROV_TEST_SKIN_DIR),
                              QStringLiteral(REROV_TEST_SKIN_DIR "/../Font"), fonts)) {
        fprintf(stderr, "cannot set up the skin at %s\n", REROV_TEST_SKIN_DIR);
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
