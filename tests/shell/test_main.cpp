#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "controls/fonts.h"
#include "controls/language_texts.h"
#include "controls/skin_setup.h"
#include "shell/shell_controls.h"

int main(int argc, char** argv) {
    // The tests draw on Qt's offscreen platform; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Profiles the pages create go to a folder of their own, removed at the end.
    QTemporaryDir data;
    if (!data.isValid()) return 2;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::ui::SetUpSkin(app, QStringLiteral(REROV_TEST_SKIN_DIR),
                              QStringLiteral(REROV_TEST_SKIN_DIR "/../Font"), fonts)) {
        fprintf(stderr, "cannot set up the skin at %s\n", REROV_TEST_SKIN_DIR);
        return 2;
    }
    if (!rerov::ui::LanguageTexts::Instance().Load(QStringLiteral("lan_en.xml"))) {
        fprintf(stderr, "cannot load lan_en.xml\n");
        return 2;
    }
    rerov::shell::RegisterShellControls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
