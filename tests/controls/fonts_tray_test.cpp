#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include "controls/private_fonts.h"
#include "controls/tray_icon.h"

namespace rerov::ui {
namespace {

constexpr char kSystemFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

TEST(Fonts, LoadsTheKnownFilesAndSkipsBadOrMissingOnes) {
    if (!QFile::exists(kSystemFont)) GTEST_SKIP() << "no DejaVu font on this machine";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A rejected file, a good one under a known name, one under a name not in the list.
    QFile junk(dir.filePath("Simplified_Chinese.ttf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a font");
    junk.close();
    ASSERT_TRUE(QFile::copy(kSystemFont, dir.filePath("Gravon-Regular.otf")));
    ASSERT_TRUE(QFile::copy(kSystemFont, dir.filePath("Unlisted.ttf")));
    QList<int> ids;
    {
        PrivateFonts fonts;
        EXPECT_EQ(fonts.Load(dir.path()), QStringList{"DejaVu Sans"});
        EXPECT_TRUE(fonts.Load(dir.filePath("missing")).isEmpty());
        ids = fonts.Ids();
        ASSERT_EQ(ids.size(), 1);
        EXPECT_FALSE(QFontDatabase::applicationFontFamilies(ids[0]).isEmpty());
    }
    // Released with the object, so the copied files may go away without harming later drawing.
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(ids[0]).isEmpty());
}

TEST(Fonts, AnEmptyFolderNameNamesNoFiles) {
    // Start-up passes no folder once the fonts are loaded; that must not mean the root.
    EXPECT_TRUE(FontFilePaths(QString()).isEmpty());
    const QStringList paths = FontFilePaths(QStringLiteral("/opt/app/Font"));
    ASSERT_FALSE(paths.isEmpty());
    for (const QString& path : paths) {
        EXPECT_TRUE(path.startsWith(QStringLiteral("/opt/app/Font/"))) << path.toStdString();
    }
    PrivateFonts fonts;
    EXPECT_TRUE(fonts.Load(QString()).isEmpty());
    EXPECT_TRUE(fonts.Ids().isEmpty());
}

TEST(TrayIcon, WithoutATrayNothingIsShownAndNothingFails) {
    TrayIcon tray;
    const bool created = tray.CreateTrayIcon(QIcon(), "REROV ER60 EVER");
    EXPECT_EQ(created, QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_EQ(tray.IsCreated(), created);
    tray.DeleteTrayIcon();
    EXPECT_FALSE(tray.IsCreated());
    tray.DeleteTrayIcon();  // twice is harmless
}

}  // namespace
}  // namespace rerov::ui
