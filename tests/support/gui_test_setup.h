#pragma once
// What every widget test program does before its tests: the offscreen platform and the skin
// beside the sources, as the programs set it up. No language is loaded here: the main
// window loads its own at start, and tests see the texts the program would show.
// REROV_TEST_SKIN_DIR comes from the test target.

#include <QApplication>
#include <QString>
#include <cstdio>

#include "controls/private_fonts.h"
#include "controls/skin_setup.h"

namespace rerov::testing {

/// Call before the QApplication exists: tests draw without a display.
inline void UseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

/// Sets up the skin; false with a message on stderr.
inline bool SetUpTestSkin(QApplication& app, ui::PrivateFonts& fonts) {
    if (!ui::SetUpSkin(app, QStringLiteral(REROV_TEST_SKIN_DIR),
                       QStringLiteral(REROV_TEST_SKIN_DIR "/../Font"), fonts)) {
        std::fprintf(stderr, "cannot set up the skin at %s\n", REROV_TEST_SKIN_DIR);
        return false;
    }
    return true;
}

}  // namespace rerov::testing
