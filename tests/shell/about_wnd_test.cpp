// The about window: the program's version from the build and its window buttons.

#include "shell/dialogs/about_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>

#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/skin_setup.h"
#include "controls/window_base.h"

namespace rerov::shell {
namespace {

TEST(AboutWindow, ShowsTheBuildsVersionAndClosesWithItsButton) {
    ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(ProgramVersion())
                    .hasMatch())
        << ProgramVersion().toStdString();
    QString version;
    QString window;
    QSize size;
    QWidget* opened = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_NE(about, nullptr);
        window = about->objectName();
        size = about->size();
        auto* label = about->findChild<ui::CControlUI*>(QStringLiteral("software_ver_label"));
        ASSERT_NE(label, nullptr);
        version = label->GetText();
        // A picture for people to look at.
        QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
        auto* base = qobject_cast<ui::CWindowBase*>(about);
        ASSERT_NE(base, nullptr);
        EXPECT_TRUE(base->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/about_window.png")));
        QWidget* close = about->findChild<QWidget*>(QStringLiteral("closebtn"));
        ASSERT_NE(close, nullptr);
        QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
    });
    ShowAboutWindow(nullptr, 144, [&](QWidget* about) { opened = about; });
    EXPECT_NE(opened, nullptr) << "the owner learns of the window";
    EXPECT_EQ(window, "AboutWnd");
    EXPECT_EQ(size, QSize(1200, 858));
    EXPECT_EQ(version, ui::Tr(QStringLiteral("software_rev_text")) + ProgramVersion());
    EXPECT_TRUE(version.endsWith(ProgramVersion()));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace rerov::shell
