#pragma once
// What every widget test program does before its tests: the offscreen platform, the skin
// beside the sources and, where asked, the English texts. REROV_TEST_SKIN_DIR comes from
// the test target.

#include <QApplication>
#include <QString>
#include <cstdio>

#include "controls/fonts.h"
#include "controls/language_texts.h"
#include "controls/skin_setup.h"

namespace rerov::testing {

/// Call before the QApplication exists: tests draw without a display.
inline void UseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

/// Sets up the skin (and the English texts when `english`); false with a message on stderr.
inline bool SetUpTestSkin(QApplication& app, ui::PrivateFonts& fonts, bool english) {
    if (!ui::SetUpSkin(app, QStringLiteral(REROV_TEST_SKIN_DIR),
                       QStringLiteral(REROV_TEST_SKIN_DIR "/../Font"), fonts)) {
        std::fprintf(stderr, "cannot set up the skin at %s\n", REROV_TEST_SKIN_DIR);
        return false;
    }
    if (english && !ui::LanguageTexts::Instance().Load(QStringLiteral("lan_en.xml"))) {
        std::fprintf(stderr, "cannot load lan_en.xml\n");
        return false;
    }
    return true;
}

}  // namespace rerov::testing
