#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "controls/control_factory.h"
#include "controls/language_texts.h"
#include "controls/popup_menu.h"
#include "controls/select_panel.h"
#include "controls/window_base.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

class GalleryWindow : public CWindowBase {
  public:
    QString GetSkinFile() const override { return QStringLiteral("XML_GALLERY"); }
    QString GetWindowClassName() const override { return QStringLiteral("GalleryWnd"); }
    QWidget* CreateControl(const QString& tag) override { return tags.Create(tag); }
    void Notify(const Notification& msg) override {
        log << msg.type + u':' + msg.SenderName();
        if (msg.type == "click" && msg.SenderName() == "closebtn") Close(7);
    }
    void InitWindow() override { ++inits; }
    TagTable tags{CustomControlTagRows()};
    QStringList log;
    int inits = 0;
};

TEST(WindowBase, BuildsItsLayoutAndSendsWindowInitOnce) {
    GalleryWindow window;
    ASSERT_TRUE(window.Create("Gallery", QSize(800, 572)));
    EXPECT_EQ(window.inits, 1);
    EXPECT_EQ(window.objectName(), "GalleryWnd");
    EXPECT_NE(window.FindControl("key_panel"), nullptr);
    EXPECT_NE(qobject_cast<CSelectPanelUI*>(window.FindControl("key_panel")), nullptr);
    window.show();
    window.hide();
    window.show();
    EXPECT_EQ(window.log.count("windowinit:GalleryWnd"), 1);
    window.hide();
}

TEST(WindowBase, ShowModalReturnsTheCloseResult) {
    GalleryWindow window;
    ASSERT_TRUE(window.Create("Gallery", QSize(800, 572)));
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.IsModalRunning());
        auto* close = window.FindControl("closebtn");
        ASSERT_NE(close, nullptr);
        test::Press(close, {5, 5});
        test::Release(close, {5, 5});
    });
    EXPECT_EQ(window.ShowModal(), 7);
    EXPECT_FALSE(window.IsModalRunning());
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowBase, DefaultNotifyRoutesThroughThePump) {
    class Plain : public CWindowBase {
      public:
        QString GetSkinFile() const override { return QStringLiteral("XML_GALLERY"); }
    };
    Plain window;
    ASSERT_TRUE(window.Create("Gallery", QSize(800, 572)));
    QStringList routed;
    window.Pump().On("click", "minbtn", [&](const Notification&) { routed << "min"; });
    window.Pump().OnPrefix("dbclick", "key_",
                           [&](const Notification& n) { routed << n.SenderName(); });
    auto* min = window.FindControl("minbtn");
    test::Press(min, {5, 5});
    test::Release(min, {5, 5});
    test::DoubleClick(window.FindControl("key_12"), {5, 5});
    EXPECT_EQ(routed, (QStringList{"min", "key_12"}));
}

TEST(WindowBase, CentresOnTheScreen) {
    GalleryWindow window;
    ASSERT_TRUE(window.Create("Gallery", QSize(800, 572)));
    window.CenterWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(window.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window.geometry().center().y() - screen.center().y()), 1);
}

TEST(WindowBase, MissingLayoutFailsWithoutCrashing) {
    class Broken : public CWindowBase {
      public:
        QString GetSkinFile() const override { return QStringLiteral("XML_NOWHERE"); }
    };
    Broken window;
    EXPECT_FALSE(window.Create("x", QSize(100, 100)));
    EXPECT_EQ(window.Root(), nullptr);
}

TEST(PopupMenu, AlignmentPlacesTheMenuAroundThePoint) {
    struct Case {
        int alignment;
        QPoint topLeft;
    };
    const QPoint at(500, 400);
    const QSize size(120, 90);
    const Case cases[] = {
        {kMenuLeft | kMenuTop, {500, 400}},
        {kMenuRight | kMenuTop, {380, 400}},
        {kMenuLeft | kMenuBottom, {500, 310}},
        {kMenuRight | kMenuBottom, {380, 310}},
        {kMenuTop | kMenuRight | kMenuBottom, {380, 400}},
        {0, {500, 400}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AlignedMenuPosition(at, size, c.alignment), c.topLeft) << c.alignment;
    }
}

TEST(PopupMenu, BuildsItemsFromMenuDataAndReportsTheChosenName) {
    ASSERT_TRUE(LanguageTexts::Instance().Load("lan_en.xml"));  // a program loads one first
    PopupMenu menu;
    ASSERT_TRUE(menu.Load("menu.xml"));
    QStringList names, texts;
    for (QAction* action : menu.Menu()->actions()) {
        if (action->isSeparator()) continue;
        names << action->objectName();
        texts << action->text();
    }
    EXPECT_EQ(names, (QStringList{"setwnd_menu", "about_menu", "exit"}));
    EXPECT_EQ(texts, (QStringList{"Settings", "About", "Exit"}));
    QStringList chosen;
    QObject::connect(&menu, &PopupMenu::itemClicked, [&](const QString& n) { chosen << n; });
    menu.Menu()->actions().last()->trigger();
    EXPECT_EQ(chosen, QStringList{"exit"});

    EXPECT_TRUE(
        menu.LoadFromData("<Menu><Menu text=\"Sub\"><MenuElement name=\"left_click\" "
                          "text=\"L\"/></Menu></Menu>"));
    ASSERT_EQ(menu.Menu()->actions().size(), 1);
    EXPECT_NE(menu.Menu()->actions()[0]->menu(), nullptr);
    EXPECT_FALSE(menu.LoadFromData("<NotAMenu/>"));
    EXPECT_FALSE(menu.LoadFromData("<Menu><MenuElement name=\"a\""));
    EXPECT_FALSE(menu.Load("no_such_menu.xml"));
}

}  // namespace
}  // namespace rerov::ui
