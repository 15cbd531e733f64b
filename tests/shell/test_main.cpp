#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../support/gui_test_setup.h"
#include "shell/shell_controls.h"
#include "tests/support/scoped_environment.h"

int main(int argc, char** argv) {
    rerov::testing::UseOffscreenPlatform();
    // Profiles the pages create go to a folder of their own, removed at the end.
    QTemporaryDir data;
    if (!data.isValid()) return 2;
    const rerov::test::ScopedEnvironment dataHome("XDG_DATA_HOME", data.path().toUtf8());
    // The remembered language goes to a settings folder of its own too (QSettings reads the
    // variable once), and the system's language is English, whatever the developer's is.
    QTemporaryDir config;
    if (!config.isValid()) return 2;
    const rerov::test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path().toUtf8());
    const rerov::test::ScopedEnvironment locale("LC_ALL", "C.UTF-8");
    QApplication app(argc, argv);
    rerov::ui::PrivateFonts fonts;
    if (!rerov::testing::SetUpTestSkin(app, fonts)) return 2;
    rerov::shell::RegisterShellControls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
