// The window's controls driven and inspected as rerovctl app ui does it, on a small layout of
// real toolkit and Qt controls: notifications reach the routing table as from a person,
// refusals change nothing, a modal window answers the click that opened it.

#include "shell/remote_ui/remote_ui.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "controls/layout_builder.h"
#include "controls/list_base.h"
#include "controls/notify_bridge.h"
#include "controls/notify_pump.h"
#include "controls/option_ui.h"
#include "shell/remote_ui/control_inventory.h"

namespace rerov::remote_ui {
namespace {

constexpr int kWaitMs = 10000;

const char kLayout[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>Form</class>
<widget class="CContainerUI" name="root">
<property name="geometry"><rect><x>0</x><y>0</y><width>420</width><height>400</height></rect></property>
<property name="bkcolor" stdset="0"><string>#FF12151B</string></property>
<property name="bkimage" stdset="0"><string>images/logo.svg</string></property>
<layout class="QVBoxLayout" name="root_box">
<item><widget class="CButtonUI" name="apply">
<property name="minimumSize"><size><width>80</width><height>24</height></size></property>
<property name="text"><string>Apply</string></property></widget></item>
<item><widget class="CContainerUI" name="speed">
<property name="minimumSize"><size><width>0</width><height>28</height></size></property>
<layout class="QHBoxLayout" name="speed_box">
<item><widget class="COptionUI" name="speed_slow"><property name="group" stdset="0"><string>speed</string></property>
<property name="selected" stdset="0"><string>true</string></property></widget></item>
<item><widget class="COptionUI" name="speed_mid"><property name="group" stdset="0"><string>speed</string></property></widget></item>
<item><widget class="COptionUI" name="speed_fast"><property name="group" stdset="0"><string>speed</string></property>
<property name="enabled"><bool>false</bool></property></widget></item>
</layout></widget></item>
<item><widget class="QComboBox" name="lang">
<item><property name="text"><string>English</string></property></item>
<item><property name="text"><string>Deutsch</string></property></item>
<item><property name="text"><string>Français</string></property></item>
</widget></item>
<item><widget class="QLineEdit" name="profile_name"><property name="maxLength"><number>8</number></property></widget></item>
<item><widget class="QSlider" name="brightness">
<property name="orientation"><enum>Qt::Horizontal</enum></property>
<property name="maximum"><number>100</number></property>
<property name="singleStep"><number>5</number></property>
<property name="pageStep"><number>20</number></property>
<property name="value"><number>50</number></property></widget></item>
<item><widget class="QSlider" name="tilt">
<property name="orientation"><enum>Qt::Vertical</enum></property>
<property name="minimum"><number>-10</number></property>
<property name="maximum"><number>10</number></property>
<property name="invertedControls"><bool>true</bool></property></widget></item>
<item><widget class="CButtonUI" name="hidden_btn"><property name="visible" stdset="0"><string>false</string></property></widget></item>
<item><widget class="CButtonUI" name="disabled_btn"><property name="enabled"><bool>false</bool></property></widget></item>
<item><widget class="CContainerUI" name="twins">
<property name="minimumSize"><size><width>0</width><height>24</height></size></property>
<layout class="QHBoxLayout" name="twins_box">
<item><widget class="CButtonUI" name="twin"><property name="text"><string>first</string></property>
<property name="visible" stdset="0"><string>false</string></property></widget></item>
<item><widget class="CButtonUI" name="twin"><property name="text"><string>second</string></property></widget></item>
<item><widget class="CButtonUI" name="twin"><property name="text"><string>third</string></property></widget></item>
</layout></widget></item>
<item><widget class="CListUI" name="macros">
<property name="minimumSize"><size><width>0</width><height>66</height></size></property>
<layout class="QVBoxLayout" name="macros_box">
<item><widget class="CListContainerElementUI" name="macro_0"><property name="minimumSize"><size><width>0</width><height>20</height></size></property></widget></item>
<item><widget class="CListContainerElementUI" name="macro_1"><property name="minimumSize"><size><width>0</width><height>20</height></size></property></widget></item>
<item><widget class="CListContainerElementUI" name="macro_2"><property name="minimumSize"><size><width>0</width><height>20</height></size></property></widget></item>
</layout></widget></item>
</layout></widget></ui>
)";

// A window built from kLayout with a notification bridge and a routing table that records
// every notification it routes as "type name wParam".
class Window : public ui::INotifyUI {
  public:
    Window() : widget(std::make_unique<QWidget>()) {
        widget->setObjectName(QStringLiteral("TestWnd"));
        bridge = new ui::NotifyBridge(widget.get());
        bridge->AddNotifier(this);
        ui::LayoutBuilder builder;
        root = builder.CreateFromData(QByteArray(kLayout), nullptr, widget.get());
        auto* box = new QVBoxLayout(widget.get());
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(root);
        bridge->Attach(widget.get());
        for (const QString& type : {ui::notify_type::kClick, ui::notify_type::kSelectChanged,
                                    ui::notify_type::kItemSelect, ui::notify_type::kValueChanged,
                                    ui::notify_type::kReturn, ui::notify_type::kTextChanged}) {
            pump.OnType(type, [this](const ui::Notification& msg) {
                routed.push_back(msg.type + u' ' + msg.SenderName() + u' ' +
                                 QString::number(msg.wParam));
            });
        }
        widget->resize(420, 400);
        widget->show();
    }
    ~Window() override { bridge->RemoveNotifier(this); }
    void Notify(const ui::Notification& msg) override { pump.LoopDispatch(msg); }

    template <typename T>
    T* Get(const char* name) const {
        return widget->findChild<T*>(QLatin1String(name));
    }
    // The routed notifications of one type.
    QStringList Routed(const QString& type) const {
        QStringList matching;
        for (const QString& line : routed) {
            if (line.startsWith(type + u' ')) matching.append(line);
        }
        return matching;
    }

    std::unique_ptr<QWidget> widget;
    ui::NotifyBridge* bridge = nullptr;
    QWidget* root = nullptr;
    ui::NotifyPump pump;
    QStringList routed;
};

UiAction Action(UiAction::Kind kind, const char* control, int number = 0,
                const std::string& text = {}) {
    UiAction action;
    action.kind = kind;
    action.control = control;
    action.number = number;
    action.text = text;
    return action;
}

// Performs `action` and runs the event loop until it is answered; "timeout" if it is not.
std::string Perform(RemoteUi& remote, const UiAction& action) {
    std::string result = "timeout";
    QEventLoop loop;
    remote.Perform(action, [&](const std::string& error) {
        result = error;
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

class RemoteUiTest : public ::testing::Test {
  protected:
    Window window;
    RemoteUi remote{window.widget.get()};
};

TEST_F(RemoteUiTest, AClickGoesThroughTheBridgeToTheRoutingTable) {
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Click, "apply")), "");
    EXPECT_EQ(window.Routed("click"), QStringList{"click apply 0"});
}

TEST_F(RemoteUiTest, HiddenDisabledAndUnknownControlsAreRefusedWithoutEffect) {
    struct Case {
        UiAction action;
        const char* says;
    };
    const Case cases[] = {
        {Action(UiAction::Kind::Click, "hidden_btn"), "\"hidden_btn\" is hidden"},
        {Action(UiAction::Kind::Click, "disabled_btn"), "\"disabled_btn\" is disabled"},
        {Action(UiAction::Kind::Click, "nowhere"), "no control named \"nowhere\""},
        {Action(UiAction::Kind::Click, "qt_internal"), "no control named"},
        {Action(UiAction::Kind::Select, "speed", 2), "item 2 of \"speed\" is disabled"},
        {Action(UiAction::Kind::Select, "speed", 3),
         "index 3 is out of range: \"speed\" has 3 items"},
        {Action(UiAction::Kind::Select, "lang", -1), "index -1 is out of range"},
        {Action(UiAction::Kind::Select, "lang", 3), "\"lang\" has 3 items (0..2)"},
        {Action(UiAction::Kind::Select, "macros", 5), "out of range"},
        {Action(UiAction::Kind::Select, "apply", 0), "has no items to select"},
        {Action(UiAction::Kind::Value, "brightness", 101),
         "101 is out of range: \"brightness\" takes 0..100"},
        {Action(UiAction::Kind::Value, "brightness", 52), "steps of 5"},
        {Action(UiAction::Kind::Value, "lang", 1), "is not a slider"},
        {Action(UiAction::Kind::Text, "brightness", 0, "x"), "is not a one-line edit"},
        {Action(UiAction::Kind::Text, "profile_name", 0, "a\tb"), "control character"},
    };
    for (const Case& c : cases) {
        const std::string error = Perform(remote, c.action);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.action.control << ": " << error;
    }
    EXPECT_TRUE(window.routed.isEmpty()) << window.routed.join(u',').toStdString();
    EXPECT_EQ(window.Get<QSlider>("brightness")->value(), 50);
    EXPECT_EQ(window.Get<QComboBox>("lang")->currentIndex(), 0);
}

// Counts the mouse releases a widget receives: which of several same-named controls a click
// reached.
class ReleaseCounter : public QObject {
  public:
    int releases = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) ++releases;
        return false;
    }
};

TEST_F(RemoteUiTest, RepeatedNamesAreListedWithTheirNumberAndReachedByIt) {
    const QList<QWidget*> twins = window.widget->findChildren<QWidget*>(QStringLiteral("twin"));
    ASSERT_EQ(twins.size(), 3);
    std::vector<std::unique_ptr<ReleaseCounter>> counters;
    for (QWidget* twin : twins) {
        counters.push_back(std::make_unique<ReleaseCounter>());
        twin->installEventFilter(counters.back().get());
    }
    std::vector<std::pair<std::string, std::string>> listed;
    for (const ControlInfo& control : remote.Controls()) {
        if (control.name.rfind("twin#", 0) == 0)
            listed.emplace_back(control.name, control.text.value_or(""));
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"twin#0", "first"}, {"twin#1", "second"}, {"twin#2", "third"}};
    EXPECT_EQ(listed, expected);

    // Two are shown: the bare name does not say which.
    std::string error = Perform(remote, Action(UiAction::Kind::Click, "twin"));
    EXPECT_NE(error.find("3 controls are named \"twin\" and 2 of them shown"), std::string::npos)
        << error;
    error = Perform(remote, Action(UiAction::Kind::Click, "twin#3"));
    EXPECT_NE(error.find("there are 3 named \"twin\""), std::string::npos) << error;
    EXPECT_NE(Perform(remote, Action(UiAction::Kind::Click, "twin#0")).find("is hidden"),
              std::string::npos);
    EXPECT_TRUE(window.routed.isEmpty()) << window.routed.join(u',').toStdString();

    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Click, "twin#2")), "");
    EXPECT_EQ(counters[2]->releases, 1);
    // With one of them shown, the bare name means that one.
    twins[2]->hide();
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Click, "twin")), "");
    EXPECT_EQ(counters[1]->releases, 1);
    EXPECT_EQ(counters[0]->releases, 0);
    EXPECT_EQ(window.Routed("click"), (QStringList{"click twin 0", "click twin 0"}));
}

TEST_F(RemoteUiTest, SelectPicksComboListAndOptionItemsAsAClickWould) {
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Select, "lang", 2)), "");
    EXPECT_EQ(window.Get<QComboBox>("lang")->currentIndex(), 2);
    EXPECT_FALSE(window.Get<QComboBox>("lang")->view()->isVisible()) << "the list closed again";
    EXPECT_EQ(window.Routed("itemselect"), QStringList{"itemselect lang 2"});

    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Select, "speed", 1)), "");
    EXPECT_TRUE(window.Get<ui::COptionUI>("speed_mid")->IsSelected());
    EXPECT_FALSE(window.Get<ui::COptionUI>("speed_slow")->IsSelected());
    EXPECT_EQ(window.Routed("click"), QStringList{"click speed_mid 0"});
    // Selecting the selected option again changes nothing and reports nothing.
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Select, "speed", 1)), "");
    EXPECT_EQ(window.Routed("click").size(), 1);

    window.routed.clear();
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Select, "macros", 1)), "");
    EXPECT_EQ(window.Get<ui::CListUI>("macros")->GetCurSel(), 1);
    EXPECT_EQ(window.Routed("itemselect"), QStringList{"itemselect macros 1"});
}

TEST_F(RemoteUiTest, TextIsTypedAndFinishedWithReturn) {
    auto* edit = window.Get<QLineEdit>("profile_name");
    edit->setText(QStringLiteral("old"));
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Text, "profile_name", 0, "Grüße")), "");
    EXPECT_EQ(edit->text(), QStringLiteral("Grüße"));
    EXPECT_EQ(window.Routed("return"), QStringList{"return profile_name 0"});
    EXPECT_EQ(window.Routed("textchanged").size(), 5) << "one per key, as typed";

    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Text, "profile_name", 0, "")), "");
    EXPECT_TRUE(edit->text().isEmpty());

    // The edit takes 8 characters: the rest is refused and Return is not pressed.
    window.routed.clear();
    const std::string error =
        Perform(remote, Action(UiAction::Kind::Text, "profile_name", 0, "much too long"));
    EXPECT_NE(error.find("did not take"), std::string::npos) << error;
    EXPECT_TRUE(window.Routed("return").isEmpty());
}

TEST_F(RemoteUiTest, SlidersMoveByKeysToExactlyTheValue) {
    auto* brightness = window.Get<QSlider>("brightness");
    struct Case {
        const char* name;
        int target;
    };
    const Case cases[] = {{"brightness", 85}, {"brightness", 0}, {"brightness", 100},
                          {"brightness", 35}, {"tilt", -7},      {"tilt", 10},
                          {"tilt", 3}};
    for (const Case& c : cases) {
        window.routed.clear();
        EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Value, c.name, c.target)), "") << c.name;
        EXPECT_EQ(window.Get<QSlider>(c.name)->value(), c.target) << c.name;
        ASSERT_FALSE(window.Routed("valuechanged").isEmpty()) << c.name;
        EXPECT_EQ(window.Routed("valuechanged").last(),
                  QStringLiteral("valuechanged %1 %2").arg(QLatin1String(c.name)).arg(c.target));
    }
    // Already there: no key, no notification.
    window.routed.clear();
    EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Value, "brightness", 35)), "");
    EXPECT_TRUE(window.routed.isEmpty());
    EXPECT_EQ(brightness->value(), 35);
}

TEST_F(RemoteUiTest, TheInventoryDescribesEachKindOfControl) {
    window.Get<QLineEdit>("profile_name")->setText(QStringLiteral("Game"));
    const std::vector<ControlInfo> controls = remote.Controls();
    const auto find = [&](const std::string& name) -> const ControlInfo* {
        for (const ControlInfo& control : controls) {
            if (control.name == name) return &control;
        }
        return nullptr;
    };
    ASSERT_FALSE(controls.empty());
    EXPECT_EQ(controls.front().name, "TestWnd") << "the window's own row first";
    EXPECT_EQ(controls.front().width, 420);
    EXPECT_EQ(controls.front().height, 400);
    for (const ControlInfo& control : controls) {
        EXPECT_NE(control.name.rfind("qt_", 0), 0u) << control.name;
        EXPECT_EQ(control.window, "TestWnd");
    }
    const ControlInfo* apply = find("apply");
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply->className, "Button");
    EXPECT_EQ(apply->text, "Apply");
    EXPECT_FALSE(apply->bkcolor) << "no background of its own";
    EXPECT_FALSE(apply->bkimage);
    const ControlInfo* root = find("root");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->bkcolor, "#FF12151B");
    EXPECT_EQ(root->bkimage, "images/logo.svg");
    EXPECT_TRUE(apply->visible);
    EXPECT_TRUE(apply->enabled);
    EXPECT_GT(apply->width, 0);

    const ControlInfo* slow = find("speed_slow");
    ASSERT_NE(slow, nullptr);
    EXPECT_EQ(slow->className, "Option");
    EXPECT_EQ(slow->selected, true);
    EXPECT_EQ(find("speed_fast")->enabled, false);
    EXPECT_EQ(find("hidden_btn")->visible, false);
    EXPECT_EQ(find("disabled_btn")->enabled, false);

    const ControlInfo* lang = find("lang");
    ASSERT_NE(lang, nullptr);
    EXPECT_EQ(lang->className, "QComboBox");
    EXPECT_EQ(lang->index, 0);
    EXPECT_EQ(lang->count, 3);
    EXPECT_EQ(lang->text, "English");

    EXPECT_EQ(find("profile_name")->text, "Game");
    const ControlInfo* brightness = find("brightness");
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->value, 50);
    EXPECT_EQ(brightness->minimum, 0);
    EXPECT_EQ(brightness->maximum, 100);
    const ControlInfo* macros = find("macros");
    ASSERT_NE(macros, nullptr);
    EXPECT_EQ(macros->className, "List");
    EXPECT_EQ(macros->count, 3);
    EXPECT_EQ(macros->index, -1);
}

TEST_F(RemoteUiTest, AClickThatOpensAModalWindowIsAnsweredWhileItIsOpen) {
    // "apply" opens a dialog with a control named like one of the main window's.
    QPointer<QDialog> dialog;
    int dialogResult = -1;
    window.pump.On(ui::notify_type::kClick, QStringLiteral("apply"), [&](const ui::Notification&) {
        QDialog box(window.widget.get());
        box.setObjectName(QStringLiteral("ConfirmWnd"));
        auto* layout = new QHBoxLayout(&box);
        auto* ok = new QPushButton(QStringLiteral("OK"), &box);
        ok->setObjectName(QStringLiteral("confirm_ok"));
        auto* twin = new QPushButton(QStringLiteral("Twin"), &box);
        twin->setObjectName(QStringLiteral("apply"));
        layout->addWidget(ok);
        layout->addWidget(twin);
        QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
        QObject::connect(twin, &QPushButton::clicked, &box, &QDialog::reject);
        dialog = &box;
        dialogResult = box.exec();
    });

    // What a second rerovctl sees and does while the dialog's loop runs.
    const auto whileOpen = [&] {
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(dialog->isVisible());
        const std::vector<ControlInfo> controls = remote.Controls();
        ASSERT_FALSE(controls.empty());
        EXPECT_EQ(controls.back().window, "ConfirmWnd") << "the modal window's controls come last";
        QString findError;
        EXPECT_EQ(
            FindNamedControl(window.widget.get(), QStringLiteral("apply"), &findError)->window(),
            dialog.data())
            << "the modal window's control of a shared name wins";

        const std::string blocked = Perform(remote, Action(UiAction::Kind::Select, "lang", 1));
        EXPECT_NE(blocked.find("\"lang\" is in \"TestWnd\", which the modal window "
                               "\"ConfirmWnd\" blocks"),
                  std::string::npos)
            << blocked;

        QTemporaryDir folder;
        const std::string shot = folder.filePath(QStringLiteral("modal.png")).toStdString();
        ScreenshotInfo info;
        std::string error;
        EXPECT_TRUE(remote.SaveScreenshot(shot, &info, &error)) << error;
        EXPECT_EQ(info.window, "ConfirmWnd");
        EXPECT_EQ(QImage(QString::fromStdString(shot)).size(), dialog->size());

        EXPECT_EQ(Perform(remote, Action(UiAction::Kind::Click, "confirm_ok")), "");
    };

    bool answered = false;
    QEventLoop loop;
    remote.Perform(Action(UiAction::Kind::Click, "apply"), [&](const std::string& error) {
        answered = true;
        EXPECT_EQ(error, "");
        whileOpen();
        loop.quit();
    });
    // A dialog left open would hold the test in its loop.
    QTimer::singleShot(kWaitMs, window.widget.get(), [&] {
        if (dialog) dialog->reject();
        loop.quit();
    });
    loop.exec();
    EXPECT_TRUE(answered) << "answered while the modal loop ran";
    EXPECT_FALSE(dialog) << "the dialog closed and its handler returned";
    EXPECT_EQ(dialogResult, QDialog::Accepted);
    EXPECT_EQ(remote.Controls().back().window, "TestWnd");
}

TEST_F(RemoteUiTest, ScreenshotsAreWholeFilesOfTheWindowOrNone) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("window.png"));
    ScreenshotInfo info;
    std::string error;
    ASSERT_TRUE(remote.SaveScreenshot(path.toStdString(), &info, &error)) << error;
    const QImage image(path);
    EXPECT_EQ(image.size(), QSize(420, 400));
    EXPECT_EQ(info.width, 420);
    EXPECT_EQ(info.window, "TestWnd");

    const QString missing = folder.filePath(QStringLiteral("no/such/folder/window.png"));
    EXPECT_FALSE(remote.SaveScreenshot(missing.toStdString(), &info, &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"window.png"})
        << "no temporary file left behind";
    EXPECT_FALSE(remote.SaveScreenshot(folder.path().toStdString(), &info, &error))
        << "a folder is not a file";
}

}  // namespace
}  // namespace rerov::remote_ui
