#include <gtest/gtest.h>

#include <QApplication>
#include <QResizeEvent>
#include <array>

#include "controls/hand_img_button.h"
#include "controls/hand_img_select_button.h"
#include "controls/redio_macro_button.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

using test::Host;

TEST(HandImgButton, HoverClickAndCapture) {
    Host host;
    auto* button = new CHandImgButtonUI(host.window.get());
    button->setObjectName("hand");
    button->setGeometry(0, 0, 64, 64);
    button->SetAttribute("handimage", "images/hand_mouse.svg");

    test::Enter(button);
    EXPECT_TRUE(button->IsHot());
    test::Press(button, {10, 10});
    test::Move(button, {100, 10});
    EXPECT_FALSE(button->IsPushed()) << "moved out while captured";
    test::Move(button, {20, 20});
    EXPECT_TRUE(button->IsPushed());
    test::Release(button, {20, 20});
    // Pressed inside, released outside: no click.
    test::Press(button, {10, 10});
    test::Release(button, {90, 90});
    // Pressed outside: dropped, the release does nothing.
    test::Press(button, {90, 90});
    test::Release(button, {10, 10});
    test::Leave(button);
    EXPECT_FALSE(button->IsHot());
    EXPECT_EQ(host.recorder.Log(), (QStringList{"msenter:hand", "click:hand", "msleave:hand"}));
}

TEST(HandImgButton, DisabledSendsNothing) {
    Host host;
    auto* button = new CHandImgButtonUI(host.window.get());
    button->setObjectName("hand");
    button->resize(64, 64);
    button->setEnabled(false);
    test::Enter(button);
    test::Leave(button);
    EXPECT_FALSE(button->Activate());
    EXPECT_TRUE(host.recorder.received.empty());
}

TEST(HandImgButton, AttributesAndDrawingOfTheHandImage) {
    CHandImgButtonUI button;
    button.resize(64, 64);
    const QImage empty = test::Paint(&button);
    EXPECT_TRUE(button.SetAttribute("deletenormalimage", "images/hand_delete.svg"));
    EXPECT_TRUE(button.SetAttribute("deletehotimage", "images/hand_delete.svg"));
    EXPECT_EQ(test::Paint(&button), empty) << "delete images are never drawn";
    EXPECT_EQ(button.GetDeleteNormalImage(), "images/hand_delete.svg");
    button.SetAttribute("handimage", "file='images/check_on.svg' dest='0,0,16,16'");
    const QImage drawn = test::Paint(&button);
    EXPECT_NE(drawn.pixel(8, 8), 0xFF000000);
    EXPECT_EQ(drawn.pixel(30, 30), 0xFF000000);
}

// The pan picture is 320 x 200 image pixels.
struct PanFixture : ::testing::Test {
    void SetUp() override {
        button = new CHandImgSelectButtonUI(host.window.get());
        button->setObjectName("pan");
        button->setGeometry(0, 0, 100, 60);
        button->SetAttribute("handimage", "images/pan_picture.svg");
    }
    void Drag(QPoint from, QPoint to) {
        test::Press(button, from);
        test::Move(button, to);
        test::Release(button, to);
    }
    std::array<int, 4> Source() const {
        const auto s = button->GetSource();
        return {s.left, s.top, s.right, s.bottom};
    }
    Host host;
    CHandImgSelectButtonUI* button = nullptr;
};

TEST_F(PanFixture, LoadingClipsToTheControl) {
    EXPECT_EQ(button->GetImageSize(), QSize(320, 200));
    EXPECT_EQ(Source(), (std::array<int, 4>{0, 0, 100, 60}));
    EXPECT_EQ(button->GetDrawString(), "file='images/pan_picture.svg' source='0,0,100,60'");
}

TEST_F(PanFixture, DragMovesTheSourceAndStopsAtTheLeftAndTopEdges) {
    struct Step {
        QPoint from, to;
        std::array<int, 4> source;
    };
    const Step steps[] = {
        {{50, 30}, {20, 10}, {30, 20, 130, 80}},  // drag up-left: the picture follows
        {{20, 10}, {30, 15}, {20, 15, 120, 75}},  // back a little
        {{30, 15}, {90, 55}, {0, 0, 100, 60}},    // more than the offset: stops at 0, width kept
        {{90, 55}, {95, 58}, {0, 0, 100, 60}},    // already at the edge
    };
    for (const Step& s : steps) {
        Drag(s.from, s.to);
        EXPECT_EQ(Source(), s.source) << s.to.x() << "," << s.to.y();
    }
    EXPECT_EQ(button->GetDrawString(), "file='images/pan_picture.svg' source='0,0,100,60'");
    EXPECT_TRUE(host.recorder.received.empty()) << "no click from dragging";
}

TEST_F(PanFixture, RightAndBottomAdvanceWhileShortOfTheImageEdge) {
    // Right edge 100 -> 190 -> 280 -> 370: the step that starts short of 320 carries it past.
    const std::array<int, 4> expected[] = {
        {90, 0, 190, 60}, {180, 0, 280, 60}, {270, 0, 370, 60}, {270, 0, 370, 60}};
    for (const auto& e : expected) {
        Drag({90, 30}, {0, 30});
        EXPECT_EQ(Source(), e);
    }
    // The same rule downwards: bottom 60 -> 119 -> 178 -> 237, then it stays.
    const int bottoms[] = {119, 178, 237, 237};
    for (int bottom : bottoms) {
        Drag({50, 59}, {50, 0});
        EXPECT_EQ(Source()[3], bottom);
        EXPECT_EQ(Source()[3] - Source()[1], 60) << "height kept";
    }
}

TEST_F(PanFixture, MovesWithoutPressDoNotPan) {
    test::Move(button, {10, 10});
    test::Move(button, {0, 0});
    EXPECT_EQ(Source(), (std::array<int, 4>{0, 0, 100, 60}));
}

TEST(HandImgSelectButton, SmallImageIsShownWholeAndDoesNotMove) {
    Host host;
    auto* button = new CHandImgSelectButtonUI(host.window.get());
    button->setGeometry(0, 0, 100, 100);
    button->SetAttribute("handimage", "images/hand_mouse.svg");  // 64 x 64
    EXPECT_EQ(button->GetDrawString(), "images/hand_mouse.svg");
    test::Press(button, {50, 50});
    test::Move(button, {10, 10});
    test::Move(button, {90, 90});
    test::Release(button, {90, 90});
    const auto s = button->GetSource();
    EXPECT_EQ((std::array<int, 4>{s.left, s.top, s.right, s.bottom}),
              (std::array<int, 4>{0, 0, 100, 100}));
}

TEST(HandImgSelectButton, ResizeBeforeAnyDragFitsThePictureAgain) {
    CHandImgSelectButtonUI button;
    button.SetAttribute("handimage", "images/pan_picture.svg");  // 0 x 0 control: clipped to 0
    button.resize(80, 50);
    QResizeEvent resize(QSize(80, 50), QSize());
    QApplication::sendEvent(&button, &resize);
    EXPECT_EQ(button.GetDrawString(), "file='images/pan_picture.svg' source='0,0,80,50'");
}

TEST(HandImgSelectButton, MissingImageStopsBeforeChangingTheDrawing) {
    CHandImgSelectButtonUI button;
    button.resize(50, 50);
    button.SetAttribute("handimage", "images/hand_mouse.svg");
    const QString before = button.GetDrawString();
    ASSERT_EQ(before, "file='images/hand_mouse.svg' source='0,0,50,50'");
    button.SetAttribute("handimage", "images/none.svg");
    EXPECT_EQ(button.GetDrawString(), before);
    EXPECT_EQ(button.GetImageSize(), QSize(64, 64));
}

TEST(HandImgSelectButton, CursorTable) {
    struct Case {
        const char* value;
        int id;
    };
    const Case cases[] = {
        {"arrow", 32512},    {"ibeam", 32513},  {"wait", 32514},   {"cross", 32515},
        {"uparrow", 32516},  {"size", 32640},   {"icon", 32641},   {"sizenwse", 32642},
        {"sizenesw", 32643}, {"sizewe", 32644}, {"sizens", 32645}, {"sizeall", 32646},
        {"no", 32648},       {"hand", 32649},   {"Hand", 0},       {"pointer", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CHandImgSelectButtonUI::CursorIdOf(c.value), c.id) << c.value;
    }
    CHandImgSelectButtonUI button;
    button.SetAttribute("cursor", "hand");
    EXPECT_EQ(button.GetCursorId(), 32649);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    button.SetAttribute("cursor", "bogus");
    EXPECT_EQ(button.GetCursorId(), 32649) << "an unknown value changes nothing";
}

TEST(RedioMacroButton, KeepsItsImageAndClicksLikeAButton) {
    Host host;
    auto* button = new CRedioMacroButtonUI(host.window.get());
    button->setObjectName("macro_once");
    button->resize(100, 30);
    EXPECT_TRUE(button->SetAttribute("redioimage", "images/macro_radio.svg"));
    EXPECT_EQ(button->GetRedioImage(), "images/macro_radio.svg");
    EXPECT_EQ(button->GetClass(), "RedioMacroButton");
    test::Press(button, {5, 5});
    test::Release(button, {5, 5});
    EXPECT_EQ(host.recorder.Log(), QStringList{"click:macro_once"});
}

}  // namespace
}  // namespace rerov::ui
