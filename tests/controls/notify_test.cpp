#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>

#include "controls/button_base.h"
#include "controls/notify_pump.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

using test::Host;

template <typename T>
T* Named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(name);
    return w;
}

TEST(NotifyBridge, QtWidgetsRaiseTheirNotificationTypes) {
    struct Case {
        const char* what;
        std::function<void(QWidget*)> act;
        QStringList expected;
    };
    Host host;
    QWidget* w = host.window.get();
    auto* button = Named<QPushButton>(w, "apply_btn");
    auto* check = Named<QCheckBox>(w, "lock_check");
    auto* radioA = Named<QRadioButton>(w, "rate_a");
    auto* radioB = Named<QRadioButton>(w, "rate_b");
    auto* combo = Named<QComboBox>(w, "mode_combo");
    combo->addItems({"a", "b", "c"});
    auto* slider = Named<QSlider>(w, "level_slider");
    slider->setRange(0, 100);
    auto* edit = Named<QLineEdit>(w, "name_edit");
    auto* list = Named<QListWidget>(w, "names_list");
    list->addItems({"x", "y"});
    auto* unnamed = new QPushButton(w);
    radioA->setChecked(true);
    host.bridge->Attach(w);

    const Case cases[] = {
        {"button click", [&](QWidget*) { button->click(); }, {"click:apply_btn"}},
        {"check box",
         [&](QWidget*) { check->click(); },
         {"selectchanged:lock_check", "click:lock_check"}},
        {"exclusive option reports only the selected one",
         [&](QWidget*) { radioB->click(); },
         {"selectchanged:rate_b", "click:rate_b"}},
        {"combo", [&](QWidget*) { combo->setCurrentIndex(2); }, {"itemselect:mode_combo"}},
        {"slider set", [&](QWidget*) { slider->setValue(30); }, {"valuechanged:level_slider"}},
        {"slider drag",
         [&](QWidget*) {
             slider->setSliderDown(true);
             slider->setSliderPosition(40);
             slider->setSliderPosition(50);
             slider->setSliderDown(false);
         },
         {"movevaluechanged:level_slider", "movevaluechanged:level_slider",
          "valuechanged:level_slider"}},
        {"typing", [&](QWidget*) { edit->textEdited("a"); }, {"textchanged:name_edit"}},
        {"text set by code is silent", [&](QWidget*) { edit->setText("b"); }, {}},
        {"return", [&](QWidget*) { edit->returnPressed(); }, {"return:name_edit"}},
        {"list row", [&](QWidget*) { list->setCurrentRow(1); }, {"itemselect:names_list"}},
        {"unnamed controls are not connected", [&](QWidget*) { unnamed->click(); }, {}},
    };
    for (const Case& c : cases) {
        host.recorder.received.clear();
        c.act(w);
        EXPECT_EQ(host.recorder.Log(), c.expected) << c.what;
    }
}

TEST(NotifyBridge, WidgetsAddedLaterAreConnectedBeforeTheyShow) {
    Host host;
    auto* page = new QWidget(host.window.get());
    host.bridge->Attach(host.window.get());
    host.window->show();
    auto* button = new QPushButton(page);
    button->setObjectName("added_later");
    auto* inner = new QWidget(page);
    auto* deep = Named<QCheckBox>(inner, "deep_check");
    inner->show();
    button->show();
    host.recorder.received.clear();
    button->click();
    deep->click();
    EXPECT_EQ(host.recorder.Log(),
              (QStringList{"click:added_later", "selectchanged:deep_check", "click:deep_check"}));
}

TEST(NotifyBridge, ComboReportsNewAndPreviousIndex) {
    Host host;
    auto* combo = Named<QComboBox>(host.window.get(), "combo");
    combo->addItems({"a", "b", "c"});
    host.bridge->Attach(host.window.get());
    combo->setCurrentIndex(2);
    SelectItemSilently(combo, 0);
    combo->setCurrentIndex(1);
    ASSERT_EQ(host.recorder.received.size(), 2u);
    EXPECT_EQ(host.recorder.received[0].wParam, 2);
    EXPECT_EQ(host.recorder.received[0].lParam, 0);
    EXPECT_EQ(host.recorder.received[1].wParam, 1);
    EXPECT_EQ(host.recorder.received[1].lParam, 0) << "previous index follows silent changes";
}

TEST(NotifyBridge, SelectionsMadeByCodeCanBeSilent) {
    Host host;
    QWidget* w = host.window.get();
    auto* combo = Named<QComboBox>(w, "combo");
    combo->addItems({"a", "b"});
    auto* slider = Named<QSlider>(w, "slider");
    auto* check = Named<QCheckBox>(w, "check");
    auto* group = new QButtonGroup(w);
    auto* optA = Named<QPushButton>(w, "opt_a");
    auto* optB = Named<QPushButton>(w, "opt_b");
    for (QPushButton* b : {optA, optB}) {
        b->setCheckable(true);
        group->addButton(b);
    }
    optA->setChecked(true);
    auto* custom = Named<CButtonUI>(w, "custom");
    host.bridge->Attach(w);

    SelectItemSilently(combo, 1);
    SetValueSilently(slider, 42);
    SetCheckedSilently(check, true);
    SetCheckedSilently(optB, true);
    {
        NotifySilence silence(custom);
        EXPECT_FALSE(SendNotify(custom, "click"));
    }
    EXPECT_TRUE(host.recorder.received.empty()) << host.recorder.Log().join(",").toStdString();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(slider->value(), 42);
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(optB->isChecked());
    EXPECT_FALSE(optA->isChecked());

    // Silence ends with its scope.
    EXPECT_TRUE(SendNotify(custom, "click"));
    optA->click();
    EXPECT_EQ(host.recorder.Log(),
              (QStringList{"click:custom", "selectchanged:opt_a", "click:opt_a"}));
}

TEST(NotifyBridge, FocusAndWindowSize) {
    Host host;
    auto* edit = Named<QLineEdit>(host.window.get(), "keyset_keyboard_text_edit");
    host.bridge->Attach(host.window.get());
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(edit, &in);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(edit, &out);
    host.window->resize(321, 123);
    QResizeEvent resize(QSize(321, 123), QSize(400, 300));
    QApplication::sendEvent(host.window.get(), &resize);
    EXPECT_EQ(host.recorder.Log(),
              (QStringList{"setfocus:keyset_keyboard_text_edit",
                           "killfocus:keyset_keyboard_text_edit", "windowsize:host"}));
    EXPECT_EQ(host.recorder.received.back().wParam, 321);
}

TEST(NotifyBridge, NotificationsGoToTheNearestBridgeAndNotifiersInOrder) {
    Host host;
    auto* inner = new QWidget(host.window.get());
    auto* button = Named<CButtonUI>(inner, "b");
    test::Recorder second;
    host.bridge->AddNotifier(&second);
    host.bridge->AddNotifier(&second);  // added once only
    EXPECT_TRUE(SendNotify(button, "click", 5, 6));
    EXPECT_EQ(host.recorder.Count("click"), 1);
    EXPECT_EQ(second.Count("click"), 1);
    host.bridge->RemoveNotifier(&second);
    SendNotify(button, "click");
    EXPECT_EQ(second.Count("click"), 1);

    QWidget orphan;
    auto* lonely = Named<CButtonUI>(&orphan, "lonely");
    EXPECT_FALSE(SendNotify(lonely, "click")) << "no bridge: dropped";
    EXPECT_FALSE(SendNotify(nullptr, "click"));
}

TEST(NotifyBridge, ReceiverRemovedDuringDispatchIsNotCalled) {
    struct Remover : INotifyUI {
        void Notify(const Notification&) override { bridge->RemoveNotifier(victim); }
        NotifyBridge* bridge = nullptr;
        INotifyUI* victim = nullptr;
    };
    Host host;
    test::Recorder victim;
    Remover remover;
    remover.bridge = host.bridge;
    remover.victim = &victim;
    host.bridge->RemoveNotifier(&host.recorder);
    host.bridge->AddNotifier(&remover);
    host.bridge->AddNotifier(&victim);
    SendNotify(host.window.get(), "click");
    EXPECT_TRUE(victim.received.empty());
}

TEST(NotifyPump, RoutesByNameThenPrefixThenType) {
    QWidget window;
    auto make = [&](const char* name) { return Named<QWidget>(&window, name); };
    QWidget* save = make("key_butt_keysave");
    QWidget* key12 = make("key_12");
    QWidget* key = make("key_");
    QWidget* other = make("color_option_3");
    QStringList log;
    NotifyPump pump;
    pump.On("click", "key_butt_keysave", [&](const Notification&) { log << "save"; });
    pump.OnPrefix("click", "key_", [&](const Notification& n) { log << "key " + n.SenderName(); });
    pump.OnPrefix("click", "key_butt_", [&](const Notification&) { log << "butt"; });
    pump.OnType("click", [&](const Notification& n) { log << "any " + n.SenderName(); });

    for (QWidget* sender : {save, key12, key, other}) {
        EXPECT_TRUE(pump.LoopDispatch({"click", sender, 0, 0}));
    }
    EXPECT_FALSE(pump.LoopDispatch({"selectchanged", key12, 0, 0})) << "no route for the type";
    EXPECT_EQ(log, (QStringList{"save", "key key_12", "key key_", "any color_option_3"}));
}

TEST(NotifyPump, VirtualWindowsTakeTheirControlsFirst) {
    QWidget window;
    auto* page = new QWidget(&window);
    page->setProperty("virtualwnd", "mainpage");
    auto* inside = Named<QWidget>(page, "profile_btn");
    auto* outside = Named<QWidget>(&window, "profile_btn2");
    QStringList log;
    NotifyPump main;
    NotifyPump mainPage;
    main.OnType("click", [&](const Notification& n) { log << "main " + n.SenderName(); });
    mainPage.On("click", "profile_btn", [&](const Notification&) { log << "page"; });
    main.AddVirtualWnd("mainpage", &mainPage);
    main.LoopDispatch({"click", inside, 0, 0});
    main.LoopDispatch({"click", outside, 0, 0});
    main.RemoveVirtualWnd("mainpage");
    main.LoopDispatch({"click", inside, 0, 0});
    EXPECT_EQ(log, (QStringList{"page", "main profile_btn2", "main profile_btn"}));
    EXPECT_EQ(NotifyPump::VirtualWndOf(inside), "mainpage");
    EXPECT_EQ(NotifyPump::VirtualWndOf(outside), "");
}

}  // namespace
}  // namespace rerov::ui
