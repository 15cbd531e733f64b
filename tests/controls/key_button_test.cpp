#include <gtest/gtest.h>

#include "controls/device_key_button.h"
#include "controls/select_panel.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

using test::Host;

CDeviceKeyButtonUI* MakeKey(QWidget* parent, const QString& name, QRect rect) {
    auto* key = new CDeviceKeyButtonUI(parent);
    key->setObjectName(name);
    key->setGeometry(rect);
    key->SetAttribute("lightimage", "images/key_light.svg");
    key->SetAttribute("keysetimage", "images/key_set.svg");
    key->SetAttribute("keyunsetimage", "images/key_unset.svg");
    return key;
}

TEST(DeviceKeyButton, StartsWithTheDocumentedState) {
    CDeviceKeyButtonUI key;
    EXPECT_EQ(key.GetClass(), "DeviceKeyButton");
    EXPECT_EQ(key.GetLightOn(), 0);
    EXPECT_EQ(key.GetLightColour(), 255u);
    EXPECT_EQ(key.GetLightLevel(), 200);
    EXPECT_EQ(key.GetKeySetMarkHidden(), 1);
    EXPECT_EQ(key.GetKeyUnsetMarkHidden(), 1);
    EXPECT_EQ(key.GetPendingMark(), 0);
    EXPECT_EQ(key.IsKeySelected(), 0);
}

TEST(DeviceKeyButton, OwnAttributesAreKeptAndOthersReachTheButton) {
    CDeviceKeyButtonUI key;
    EXPECT_TRUE(key.SetAttribute("lightimage", "a.svg"));
    EXPECT_TRUE(key.SetAttribute("keysetimage", "b.svg"));
    EXPECT_TRUE(key.SetAttribute("keyunsetimage", "c.svg"));
    EXPECT_TRUE(key.SetAttribute("gmnametextcolor", "FF00FF"));
    EXPECT_TRUE(key.SetAttribute("gmnametextcolor", "#FF00FF"));
    EXPECT_TRUE(key.SetAttribute("normalimage", "n.svg"));
    EXPECT_TRUE(key.SetAttribute("text", "Q"));
    EXPECT_FALSE(key.SetAttribute("nosuchattribute", "1"));
    EXPECT_EQ(key.GetLightImage(), "a.svg");
    EXPECT_EQ(key.GetKeySetImage(), "b.svg");
    EXPECT_EQ(key.GetKeyUnsetImage(), "c.svg");
    EXPECT_EQ(key.GetNormalImage(), "n.svg");
    EXPECT_EQ(key.GetText(), "Q");
}

TEST(DeviceKeyButton, LightIsTintedWithItsColourAndLevel) {
    CDeviceKeyButtonUI key;
    key.resize(40, 40);
    key.SetAttribute("lightimage", "images/key_light.svg");
    const QImage dark = test::Paint(&key);
    // The light's edge ring is nearly opaque in the light image.
    const QPoint edge(20, 2);
    EXPECT_EQ(dark.pixelColor(edge), QColor(Qt::black));

    key.SetKeyLight(0x0000FF, 255, 1);  // byte 0 is red
    const QColor red = test::Paint(&key).pixelColor(edge);
    EXPECT_GT(red.red(), 180);
    EXPECT_LT(red.green(), 30);
    EXPECT_LT(red.blue(), 30);

    key.SetKeyLight(0x0000FF, 64, 1);
    const QColor dim = test::Paint(&key).pixelColor(edge);
    EXPECT_LT(dim.red(), red.red() / 2);
    EXPECT_GT(dim.red(), 20);

    key.SetKeyLight(0xFFFFFF, 255, 1);
    const QColor white = test::Paint(&key).pixelColor(edge);
    EXPECT_GT(white.red(), 180);
    EXPECT_EQ(white.red(), white.green());
    EXPECT_EQ(white.green(), white.blue());

    key.SetKeyLight(0xFF0000, 255, 1);
    const QColor blue = test::Paint(&key).pixelColor(edge);
    EXPECT_GT(blue.blue(), 180);
    EXPECT_LT(blue.red(), 30);

    key.SetKeyLight(0x00FF00, 255, 0);
    EXPECT_EQ(test::Paint(&key).pixelColor(edge), QColor(Qt::black)) << "light off draws nothing";
}

TEST(DeviceKeyButton, MarksAreDrawnOnlyWhenShown) {
    CDeviceKeyButtonUI key;
    key.resize(40, 40);
    key.SetAttribute("keysetimage", "images/key_set.svg");
    key.SetAttribute("keyunsetimage", "images/key_unset.svg");
    const QImage plain = test::Paint(&key);
    const QPoint markCentre(32, 3);
    EXPECT_EQ(plain.pixelColor(markCentre), QColor(Qt::black));

    key.SetKeyUnsetMarkHidden(0);
    EXPECT_GT(test::Paint(&key).pixelColor(markCentre).red(), 200);  // red unset mark
    key.SetKeySetMarkHidden(0);
    // The set mark is drawn over the unset mark.
    const QColor both = test::Paint(&key).pixelColor(QPoint(27, 8));
    EXPECT_GT(both.green(), 150);
    EXPECT_LT(both.red(), 120);
}

TEST(DeviceKeyButton, EmptySetImageWithMarkShownDrawsNothingExtra) {
    CDeviceKeyButtonUI key;
    key.resize(40, 40);
    key.SetAttribute("normalimage", "images/key_normal.svg");
    const QImage before = test::Paint(&key);
    key.SetKeySetMarkHidden(0);
    key.SetKeyUnsetMarkHidden(0);
    EXPECT_EQ(test::Paint(&key), before);
}

TEST(DeviceKeyButton, DoubleClickSendsDbclickAndPushes) {
    Host host;
    auto* key = MakeKey(host.window.get(), "key_3", QRect(0, 0, 40, 40));
    host.bridge->Attach(host.window.get());
    test::DoubleClick(key, QPoint(10, 10));
    EXPECT_TRUE(key->IsPushed());
    EXPECT_TRUE(key->IsCaptured());
    test::Release(key, QPoint(10, 10));
    EXPECT_EQ(host.recorder.Log(), (QStringList{"dbclick:key_3", "click:key_3"}));
    EXPECT_FALSE(key->IsPushed());
}

TEST(DeviceKeyButton, DisabledKeyIgnoresDoubleClick) {
    Host host;
    auto* key = MakeKey(host.window.get(), "key_4", QRect(0, 0, 40, 40));
    key->setEnabled(false);
    test::DoubleClick(key, QPoint(10, 10));
    test::Release(key, QPoint(10, 10));
    EXPECT_TRUE(host.recorder.received.empty());
}

// A 3 x 2 grid of keys 40 x 40 at a pitch of 50, plus a label that is not a key.
struct PanelFixture : ::testing::Test {
    void SetUp() override {
        panel = new CSelectPanelUI(host.window.get());
        panel->setObjectName("key_panel");
        panel->setGeometry(0, 0, 200, 120);
        for (int i = 0; i < 6; ++i) {
            keys.push_back(MakeKey(panel, QString("key_%1").arg(i),
                                   QRect((i % 3) * 50, (i / 3) * 50, 40, 40)));
        }
        other = new CLabelUI(panel);
        other->setObjectName("not_a_key");
        other->setGeometry(160, 0, 40, 40);
    }
    QList<int> Selected() const {
        QList<int> s;
        for (int i = 0; i < int(keys.size()); ++i) {
            if (keys[i]->IsKeySelected()) s << i;
        }
        return s;
    }
    void Drag(QPoint from, QPoint to) {
        test::Press(panel, from);
        test::Move(panel, (from + to) / 2);
        test::Move(panel, to);
        test::Release(panel, to);
    }
    Host host;
    CSelectPanelUI* panel = nullptr;
    std::vector<CDeviceKeyButtonUI*> keys;
    CLabelUI* other = nullptr;
};

TEST_F(PanelFixture, DragSelectsTheKeysItTouchesInAnyDirection) {
    struct Case {
        QPoint from, to;
        QList<int> expected;
    };
    const Case cases[] = {
        {{35, 35}, {95, 95}, {0, 1, 3, 4}},  // top-left to bottom-right over four corners
        {{95, 95}, {35, 35}, {0, 1, 3, 4}},  // the other way round
        {{145, 5}, {55, 45}, {1, 2}},        // right to left inside the top row
        {{5, 60}, {140, 63}, {3, 4, 5}},     // a thin strip through the lower row
        {{42, 0}, {48, 120}, {}},            // the gap between columns touches nothing
    };
    for (const Case& c : cases) {
        Drag(c.from, c.to);
        EXPECT_EQ(Selected(), c.expected) << c.from.x() << "," << c.from.y();
    }
    EXPECT_EQ(host.recorder.Count("click_select_end"), 5);
}

TEST_F(PanelFixture, EachDragReplacesTheSelectionAndAnEmptyOneClearsIt) {
    Drag({0, 0}, {200, 120});
    EXPECT_EQ(Selected(), (QList<int>{0, 1, 2, 3, 4, 5}));
    Drag({42, 42}, {48, 48});  // touches no key
    EXPECT_TRUE(Selected().isEmpty());
    ASSERT_EQ(host.recorder.Count("click_select_end"), 2);
    const Notification& last = host.recorder.received.back();
    EXPECT_EQ(last.SenderName(), "key_panel");
    EXPECT_EQ(last.wParam, 0);
    EXPECT_EQ(last.lParam, 0);
}

TEST_F(PanelFixture, PressAndReleaseWithoutMoveSelectsAndSendsNothing) {
    keys[0]->SetKeySelected(1);
    test::Press(panel, {10, 10});
    test::Release(panel, {100, 100});
    EXPECT_EQ(Selected(), QList<int>{0});
    EXPECT_EQ(host.recorder.Count("click_select_end"), 0);
}

TEST_F(PanelFixture, DragStartingOnAKeyIsSeenByThePanel) {
    test::Press(keys[0], {20, 20});
    test::Move(keys[0], {80, 30});  // over key 1, in key 0's coordinates
    test::Release(keys[0], {80, 30});
    EXPECT_EQ(Selected(), (QList<int>{0, 1}));
    EXPECT_EQ(host.recorder.Count("click_select_end"), 1);
    EXPECT_EQ(host.recorder.Count("click"), 0) << "released outside the key";
}

TEST_F(PanelFixture, DisabledPanelDoesNotSelect) {
    panel->setEnabled(false);
    Drag({0, 0}, {200, 120});
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_EQ(host.recorder.Count("click_select_end"), 0);
}

TEST(DeviceKeyButtonMarks, SettersRepaintOnlyOnChange) {
    // The flags read back as set; the pending mark is kept but never drawn.
    CDeviceKeyButtonUI key;
    key.resize(40, 40);
    key.SetAttribute("keysetimage", "images/key_set.svg");
    const QImage before = test::Paint(&key);
    key.SetPendingMark(1);
    EXPECT_EQ(key.GetPendingMark(), 1);
    EXPECT_EQ(test::Paint(&key), before);
    key.SetKeySelected(1);
    EXPECT_EQ(key.IsKeySelected(), 1);
    EXPECT_EQ(test::Paint(&key), before) << "selection is not drawn by the key";
}

}  // namespace
}  // namespace rerov::ui
