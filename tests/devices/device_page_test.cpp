// The page widget: key and light mapping, notifications of its own controls only, light
// frames from other threads, and the tab switches the device selects.

#include "devices/pages/device_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <thread>
#include <vector>

#include "controls/device_key_button.h"
#include "controls/notify_bridge.h"
#include "controls/option_ui.h"
#include "controls/select_panel.h"

namespace rerov {
namespace {

constexpr const char* kMappingLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><class>T</class>
<widget class="CContainerUI" name="root">
 <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
 <widget class="CSelectPanelUI" name="panel_a">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>100</height></rect></property>
  <widget class="CDeviceKeyButtonUI" name="key_3"><property name="userdata" stdset="0"><string>light_5</string></property></widget>
  <widget class="CDeviceKeyButtonUI" name="KEY_7"><property name="userdata" stdset="0"><string>light_7</string></property></widget>
  <widget class="CDeviceKeyButtonUI" name="key_200"><property name="userdata" stdset="0"><string>light_1</string></property></widget>
  <widget class="CDeviceKeyButtonUI" name="key_0"><property name="userdata" stdset="0"><string>light_200</string></property></widget>
  <widget class="CDeviceKeyButtonUI" name="key_x"><property name="userdata" stdset="0"><string>lamp_2</string></property></widget>
  <widget class="CDeviceKeyButtonUI" name="key_-1"><property name="userdata" stdset="0"><string>light_-3</string></property></widget>
  <widget class="CButtonUI" name="key_4"><property name="userdata" stdset="0"><string>light_4</string></property></widget>
  <widget class="CContainerUI" name="nest">
   <widget class="CDeviceKeyButtonUI" name="key_9"><property name="userdata" stdset="0"><string>light_6</string></property></widget>
  </widget>
 </widget>
 <widget class="CSelectPanelUI" name="panel_b">
  <property name="geometry"><rect><x>0</x><y>100</y><width>300</width><height>100</height></rect></property>
  <widget class="CDeviceKeyButtonUI" name="key_8"><property name="userdata" stdset="0"><string>light_3</string></property></widget>
 </widget>
</widget></ui>
)";

// A window with a notification bridge and the test layout on disk.
class DevicePageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        layoutPath_ = dir_.filePath(QStringLiteral("page.ui"));
        QFile file(layoutPath_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kMappingLayout);
        file.close();
        window_ = std::make_unique<QWidget>();
        window_->resize(700, 500);
        bridge_ = new ui::NotifyBridge(window_.get());
    }

    // A page of `keys` key buttons and `lights` lights on the test layout, in the window.
    CDevicePageUI* MakePage(int keys, int lights, QWidget* parent = nullptr) {
        auto device = std::make_unique<CZidiraUSBDevice>();
        device->SetPageLayoutPath(layoutPath_.toStdString());
        device->SetKeyButtonCount(keys);
        device->SetLightCount(lights);
        auto* page = new CDevicePageUI(std::move(device), parent ? parent : window_.get());
        QString error;
        EXPECT_TRUE(page->BuildContent(nullptr, &error)) << error.toStdString();
        return page;
    }

    QTemporaryDir dir_;
    QString layoutPath_;
    std::unique_ptr<QWidget> window_;
    ui::NotifyBridge* bridge_ = nullptr;
};

ui::CDeviceKeyButtonUI* Button(QWidget* page, const char* name) {
    return page->findChild<ui::CDeviceKeyButtonUI*>(QString::fromLatin1(name));
}

TEST_F(DevicePageFixture, InitPageMapsKeysAndLightsOfTheFirstPanel) {
    CDevicePageUI* page = MakePage(170, 8);
    ASSERT_NE(page->SelectPanel(), nullptr);
    EXPECT_EQ(page->SelectPanel()->objectName(), "panel_a");

    EXPECT_EQ(page->KeyButton(3), Button(page, "key_3"));
    EXPECT_EQ(page->KeyButton(7), Button(page, "KEY_7"));  // the prefix ignores case
    EXPECT_EQ(page->KeyButton(0), Button(page, "key_0"));
    EXPECT_EQ(page->KeyButton(9), nullptr);    // not a direct child of the panel
    EXPECT_EQ(page->KeyButton(8), nullptr);    // second panel
    EXPECT_EQ(page->KeyButton(4), nullptr);    // not a key button
    EXPECT_EQ(page->KeyButton(200), nullptr);  // past the 170 keys
    EXPECT_EQ(page->KeyButton(-1), nullptr);

    EXPECT_EQ(page->Light(5), Button(page, "key_3"));
    EXPECT_EQ(page->Light(7), Button(page, "KEY_7"));
    EXPECT_EQ(page->Light(1), Button(page, "key_200"));  // key ignored, light kept
    for (int light : {0, 2, 3, 4, 6}) EXPECT_EQ(page->Light(light), nullptr) << light;

    // Mapped lights are painted white at full brightness; the device's colour list is the
    // preview's and stays as it was.
    ui::CDeviceKeyButtonUI* lit = Button(page, "key_3");
    EXPECT_EQ(lit->GetLightColour(), 0xFFFFFFu);
    EXPECT_EQ(lit->GetLightLevel(), 255);
    EXPECT_EQ(lit->GetLightOn(), 1);
    EXPECT_EQ(Button(page, "key_0")->GetLightOn(), 0);  // light 200 does not exist
    EXPECT_EQ(page->Device().GetLightColor(5), 0u);
    EXPECT_EQ(page->Device().GetLightColor(2), 0u);
    EXPECT_EQ(page->Device().KeyButtonCount(), 170);
}

TEST_F(DevicePageFixture, EmptyLayoutPathLeavesNoKeysOrLights) {
    auto device = std::make_unique<CZidiraUSBDevice>();
    device->SetKeyButtonCount(11);
    device->SetLightCount(15);
    auto* page = new CDevicePageUI(std::move(device), window_.get());
    EXPECT_TRUE(page->BuildContent(nullptr));
    EXPECT_EQ(page->Device().KeyButtonCount(), 0);
    EXPECT_EQ(page->Device().LightCount(), 0);
    EXPECT_EQ(page->SelectPanel(), nullptr);
}

TEST_F(DevicePageFixture, MissingLayoutFailsWithAReason) {
    auto device = std::make_unique<CZidiraUSBDevice>();
    device->SetPageLayoutPath(dir_.filePath(QStringLiteral("absent.ui")).toStdString());
    CDevicePageUI page(std::move(device));
    QString error;
    EXPECT_FALSE(page.BuildContent(nullptr, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DevicePageFixture, NotificationsOfOtherPagesAreIgnored) {
    CDevicePageUI* first = MakePage(10, 8);
    CDevicePageUI* second = MakePage(10, 8);
    auto* outside = new ui::CButtonUI(window_.get());
    outside->setObjectName(QStringLiteral("key_3"));  // same name, not on any page
    int firstClicks = 0;
    int secondClicks = 0;
    first->Pump().OnType(QStringLiteral("click"), [&](const ui::Notification&) { ++firstClicks; });
    second->Pump().OnType(QStringLiteral("click"),
                          [&](const ui::Notification&) { ++secondClicks; });

    // Both pages hold a "key_3"; only the sender's own page hears it.
    EXPECT_TRUE(ui::SendNotify(Button(first, "key_3"), QStringLiteral("click")));
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 0);
    EXPECT_TRUE(ui::SendNotify(Button(second, "key_3"), QStringLiteral("click")));
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_TRUE(ui::SendNotify(outside, QStringLiteral("click")));
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 1);
}

TEST_F(DevicePageFixture, DestroyedPageLeavesTheBridge) {
    CDevicePageUI* page = MakePage(10, 8);
    ui::CDeviceKeyButtonUI* key = Button(page, "key_3");
    int clicks = 0;
    page->Pump().OnType(QStringLiteral("click"), [&](const ui::Notification&) { ++clicks; });
    auto* survivor = new ui::CButtonUI(window_.get());
    survivor->setObjectName(QStringLiteral("other"));
    EXPECT_TRUE(ui::SendNotify(key, QStringLiteral("click")));
    EXPECT_EQ(clicks, 1);
    delete page;
    // The bridge must not call the deleted page.
    EXPECT_TRUE(ui::SendNotify(survivor, QStringLiteral("click")));
    EXPECT_EQ(clicks, 1);
}

TEST_F(DevicePageFixture, LightFramesFromAWorkerThreadArriveOnThePage) {
    CDevicePageUI* page = MakePage(10, 8);
    CZidiraUSBDevice& device = page->Device();
    std::thread worker([&device] {
        for (uint32_t round = 0; round < 50; ++round) {
            device.SetLightColor(5, 0x01000000u * round);
            device.StreamLightFrame();
        }
        device.SetLightColor(5, 0x80112233u);
        device.SetLightColor(7, 0x10FF0000u);
        device.StreamLightFrame();
    });
    worker.join();
    ui::CDeviceKeyButtonUI* five = Button(page, "key_3");
    QElapsedTimer timer;
    timer.start();
    // Generous: the queued frame only needs the event loop to run once.
    while (five->GetLightColour() != 0x112233u && timer.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(five->GetLightColour(), 0x112233u);
    EXPECT_EQ(five->GetLightLevel(), 0x80);
    EXPECT_EQ(Button(page, "KEY_7")->GetLightColour(), 0xFF0000u);
    EXPECT_EQ(Button(page, "KEY_7")->GetLightLevel(), 0x10);
}

// A settings panel that notes what the page showed it, and on which thread.
class RecordingPanel : public DeviceSettingsPanel {
  public:
    void ShowDeviceSettings(CZidiraUSBDevice& device) override {
        ++settingsShown;
        lightingMode = device.GetLightSetting().bytes[LightSetting::kMode];
        onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
    }
    void ShowAudioLightSetting(const AudioLightWords& words) override {
        audio.push_back(words);
        onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
    }
    int settingsShown = 0;
    int lightingMode = -1;
    std::vector<AudioLightWords> audio;
    bool onUiThread = true;
};

TEST_F(DevicePageFixture, SettingsPanelsShowWhatTheDeviceAsksFromAnyThread) {
    CDevicePageUI* page = MakePage(10, 8);
    CZidiraUSBDevice& device = page->Device();
    RecordingPanel panel;
    RecordingPanel removed;
    page->AddSettingsPanel(&panel);
    page->AddSettingsPanel(&panel);  // added once only
    page->AddSettingsPanel(&removed);
    page->RemoveSettingsPanel(&removed);

    LightSetting setting;
    setting.bytes[LightSetting::kMode] = 17;
    device.SetLightSetting(setting);
    device.ShowSettings();  // on the UI thread: at once
    EXPECT_EQ(panel.settingsShown, 1);
    EXPECT_EQ(panel.lightingMode, 17);

    std::thread input([&device] {
        device.SetAudioLightSetting(4, 0x00FF00u, 1);
        device.ShowSettings();
    });
    input.join();
    QElapsedTimer timer;
    timer.start();
    while (panel.settingsShown < 2 && timer.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(panel.settingsShown, 2);
    EXPECT_EQ(panel.audio, (std::vector<AudioLightWords>{{4, 0x00FF00u, 1}}));
    EXPECT_TRUE(panel.onUiThread);
    EXPECT_EQ(removed.settingsShown, 0);
    EXPECT_TRUE(removed.audio.empty());
    page->RemoveSettingsPanel(&panel);
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(DevicePageFixture, UnchangedLightFramesDoNotRepaintThePicture) {
    CDevicePageUI* page = MakePage(10, 8);
    window_->show();
    auto* panel = page->findChild<QWidget*>(QStringLiteral("panel_a"));
    ASSERT_NE(panel, nullptr);
    const auto settle = [] {
        for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    CZidiraUSBDevice& device = page->Device();
    device.SetLightColor(5, 0x80112233u);
    device.StreamLightFrame();
    settle();
    PaintCounter counter(panel);
    for (int frame = 0; frame < 5; ++frame) {
        device.StreamLightFrame();
        settle();
    }
    EXPECT_EQ(counter.paints, 0) << "a frame that changes no light must not repaint";
    device.SetLightColor(5, 0x80445566u);
    device.StreamLightFrame();
    settle();
    EXPECT_GT(counter.paints, 0) << "a changed light must repaint";
}

TEST_F(DevicePageFixture, FunctionTabsSelectedInTheWindow) {
    auto* function = new ui::CTabLayoutUI(window_.get());
    function->setObjectName(QStringLiteral("device_function_switch"));
    for (int i = 0; i < 4; ++i) new QWidget(function);
    auto* keyFunction = new ui::CTabLayoutUI(window_.get());
    keyFunction->setObjectName(QStringLiteral("device_key_function_switch"));
    for (int i = 0; i < 3; ++i) new QWidget(keyFunction);
    CDevicePageUI* page = MakePage(10, 8);

    page->Device().SelectFunctionTab(5);
    EXPECT_EQ(function->GetCurSel(), 2);
    EXPECT_EQ(keyFunction->GetCurSel(), 0);
    page->Device().SelectFunctionTab(7);
    EXPECT_EQ(function->GetCurSel(), 0);
    EXPECT_EQ(keyFunction->GetCurSel(), 2);
    EXPECT_FALSE(page->SelectTab("device_function_switch", 9));  // no such tab
    EXPECT_FALSE(page->SelectTab("no_such_switch", 0));
}

TEST_F(DevicePageFixture, SelectedKeyMarkFollowsTheClickAndLabelsGoToTheTip) {
    CDevicePageUI* page = MakePage(10, 8);
    Button(page, "key_0")->SetKeySelected(1);  // a drag chose key 0
    page->Device().SelectKey(3);
    EXPECT_EQ(Button(page, "key_3")->GetKeyUnsetMarkHidden(), 0) << "the selected key is marked";
    page->Device().SelectKey(7);
    EXPECT_EQ(Button(page, "key_3")->GetKeyUnsetMarkHidden(), 1) << "the mark left key 3";
    EXPECT_EQ(Button(page, "KEY_7")->GetKeyUnsetMarkHidden(), 0);
    EXPECT_EQ(page->ShownSelectedKey(), 7);
    // Selecting for the editor is not a drag: the drag's choice stays as it was.
    EXPECT_EQ(Button(page, "key_0")->IsKeySelected(), 1);
    EXPECT_EQ(Button(page, "key_3")->IsKeySelected(), 0);
    EXPECT_EQ(Button(page, "KEY_7")->IsKeySelected(), 0);

    const QString print = Button(page, "key_3")->GetText();
    page->SetKeyLabel(3, "Esc set to F1");
    page->SetKeyLabel(9, "ignored");  // unmapped
    EXPECT_EQ(Button(page, "key_3")->GetText(), print) << "the picture keeps the key's print";
    EXPECT_EQ(Button(page, "key_3")->toolTip(), QStringLiteral("Esc set to F1"));
    EXPECT_EQ(page->KeyLabelOf(3), QStringLiteral("Esc set to F1"));
    EXPECT_EQ(page->KeyLabelOf(9), QString());
    EXPECT_EQ(page->GetClass(), "ZidiraUSBDevice");
}

TEST_F(DevicePageFixture, FamilyPagesCreatedByFamilyRow) {
    const SupportedDevice record = SupportedDevices(DeviceIds{})[8];  // mouse pad, command
    QString error;
    CDevicePageUI* pad = CreateFamilyPage(kFamilyMousePad, record, window_.get(), nullptr, &error);
    ASSERT_NE(pad, nullptr) << error.toStdString();
    EXPECT_EQ(pad->GetClass(), "ZidiraMousePadDevice");
    EXPECT_EQ(pad->Device().Kind(), kKindMousePad);
    EXPECT_EQ(pad->parentWidget(), window_.get());
    EXPECT_NE(pad->Light(14), nullptr);
    EXPECT_EQ(CreateFamilyPage(7, record, window_.get(), nullptr, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DevicePageFixture, PowerLayoutFollowsThePowerDisplayFlag) {
    QWidget power;
    auto* powerLayout = new QWidget(&power);
    powerLayout->setObjectName(QStringLiteral("device_power_Layout"));
    powerLayout->setVisible(true);  // shown until the page says otherwise
    ASSERT_FALSE(powerLayout->isHidden());
    auto device = std::make_unique<CZidiraUSBDevice>();
    device->SetPageLayoutPath(layoutPath_.toStdString());
    device->SetPowerDisplay(false);  // before the page exists: nothing to show it on yet
    device->SetPowerControl(&power);
    auto* page = new CDevicePageUI(std::move(device), window_.get());
    ASSERT_TRUE(page->BuildContent(nullptr));
    EXPECT_TRUE(powerLayout->isHidden());
    page->Device().SetPowerDisplay(true);
    EXPECT_FALSE(powerLayout->isHidden());
    page->Device().SetPowerDisplay(false);
    EXPECT_TRUE(powerLayout->isHidden());
    delete page;  // before the power control goes
}

}  // namespace
}  // namespace rerov
