#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>

#include "controls/cloud_share_list_item.h"
#include "controls/combo_edit_container_element.h"
#include "controls/control_timers.h"
#include "controls/layout_builder.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

using test::Host;

// A list with two combo-edit rows and one cloud-share row, built as pages build them.
struct ListFixture : ::testing::Test {
    void SetUp() override {
        list = new CListUI(host.window.get());
        list->setObjectName("macro_list");
        list->setGeometry(0, 0, 260, 120);
        list->SetAttribute("multiselect", "true");
        for (int i = 0; i < 2; ++i) {
            auto* row = new CComboEditContainerElementUI();
            row->setObjectName(QString("macro_row_%1").arg(i));
            row->setFixedHeight(30);
            list->Add(row);
            row->Init();
            rows.push_back(row);
        }
        share = new CCloudShareListItemUI();
        share->setObjectName("share_row");
        share->setFixedHeight(30);
        list->Add(share);
        host.window->show();
        host.bridge->Attach(host.window.get());
        host.recorder.received.clear();  // showing the window reported its size
    }
    Host host;
    CListUI* list = nullptr;
    std::vector<CComboEditContainerElementUI*> rows;
    CCloudShareListItemUI* share = nullptr;
};

TEST_F(ListFixture, RowIsBuiltFromItsLayoutWithItsOwnParts) {
    for (auto* row : rows) {
        ASSERT_NE(row->Text1(), nullptr);
        ASSERT_NE(row->Text2(), nullptr);
        ASSERT_NE(row->DelayEdit(), nullptr);
        EXPECT_TRUE(row->isAncestorOf(row->Text1())) << "each row keeps its own parts";
        EXPECT_TRUE(row->isAncestorOf(row->DelayEdit()));
        EXPECT_NE(qobject_cast<QLineEdit*>(row->DelayEdit()), nullptr);
    }
    EXPECT_NE(rows[0]->Text1(), rows[1]->Text1());
    EXPECT_EQ(rows[0]->GetIndex(), 0);
    EXPECT_EQ(rows[1]->GetIndex(), 1);
    EXPECT_EQ(share->GetIndex(), 2);
}

TEST_F(ListFixture, MouseSelectsTogglesAndReportsItemClicks) {
    test::Press(rows[0], {5, 5});
    test::Release(rows[0], {5, 5});
    EXPECT_TRUE(rows[0]->IsSelected());
    test::Press(rows[1], {5, 5}, Qt::ControlModifier);
    test::Release(rows[1], {5, 5});
    EXPECT_TRUE(rows[0]->IsSelected());
    EXPECT_TRUE(rows[1]->IsSelected()) << "Ctrl adds to the selection";
    test::Press(rows[0], {5, 5}, Qt::ControlModifier);
    EXPECT_FALSE(rows[0]->IsSelected()) << "Ctrl toggles";
    test::Release(rows[0], {5, 5});
    test::Press(rows[0], {5, 5});
    test::Release(rows[0], {5, 5});
    EXPECT_TRUE(rows[0]->IsSelected());
    EXPECT_FALSE(rows[1]->IsSelected()) << "a plain press selects only this row";
    EXPECT_EQ(host.recorder.Count("itemclick"), 4);
    EXPECT_EQ(host.recorder.Count("itemselect"), 4);
}

TEST_F(ListFixture, EnterDoubleClickTimerAndMenu) {
    test::KeyPress(rows[1], Qt::Key_Return);
    test::DoubleClick(rows[1], {5, 5});  // activates; no notification of its own
    ASSERT_TRUE(SetControlTimer(rows[1], 7, 0));
    ControlTimerEvent tick(7);
    QApplication::sendEvent(rows[1], &tick);
    KillControlTimer(rows[1], 7);
    test::ContextMenu(rows[1], {3, 4});  // context menu not enabled: nothing
    rows[1]->SetAttribute("menu", "true");
    test::ContextMenu(rows[1], {3, 4});
    QStringList log;
    for (const auto& n : host.recorder.received) {
        if (n.type != "itemselect" && n.type != "itemclick") log << n.type + ":" + n.SenderName();
    }
    EXPECT_EQ(log, (QStringList{"return:macro_row_1", "timer:macro_row_1", "menu:macro_row_1"}));
    const auto& timer = *std::find_if(host.recorder.received.begin(), host.recorder.received.end(),
                                      [](const Notification& n) { return n.type == "timer"; });
    EXPECT_EQ(timer.wParam, 7);
    EXPECT_EQ(host.recorder.received.back().wParam, 3);
    EXPECT_EQ(host.recorder.received.back().lParam, 4);
}

TEST_F(ListFixture, MouseDisabledRowPassesEventsToTheList) {
    rows[0]->SetMouseEnabled(false);
    test::Press(rows[0], {5, 5});
    test::Release(rows[0], {5, 5});
    EXPECT_FALSE(rows[0]->IsSelected());
    EXPECT_EQ(host.recorder.Count("itemclick"), 0);
}

TEST_F(ListFixture, DisabledRowIgnoresClicksAndEnter) {
    rows[0]->setEnabled(false);
    test::Press(rows[0], {5, 5});
    test::Release(rows[0], {5, 5});
    test::KeyPress(rows[0], Qt::Key_Return);
    EXPECT_FALSE(rows[0]->IsSelected());
    EXPECT_TRUE(host.recorder.received.empty());
}

TEST_F(ListFixture, IgnoredImagesDoNotReachTheRow) {
    EXPECT_TRUE(rows[0]->SetAttribute("normalimage", "images/key_set.svg"));
    EXPECT_TRUE(rows[0]->SetAttribute("hotimage", "images/key_set.svg"));
    EXPECT_TRUE(rows[0]->SetAttribute("selectedimage", "images/key_set.svg"));
    EXPECT_TRUE(rows[0]->GetBkImage().isEmpty());
    EXPECT_TRUE(rows[0]->SetAttribute("bkcolor", "#FF010203"));
    EXPECT_EQ(rows[0]->GetBkColor(), 0xFF010203u);
}

TEST_F(ListFixture, CloudShareRowActivatesAndReportsItsMenu) {
    test::DoubleClick(share, {5, 5});
    test::ContextMenu(share, {1, 2});
    share->SetAttribute("menu", "true");
    test::ContextMenu(share, {1, 2});
    share->setEnabled(false);
    EXPECT_FALSE(share->Activate());
    QStringList log;
    for (const auto& n : host.recorder.received) {
        if (n.type != "itemselect") log << n.type + ":" + n.SenderName();
    }
    EXPECT_EQ(log, (QStringList{"itemactivate:share_row", "menu:share_row"}));
}

TEST_F(ListFixture, CloudShareHoverFrameNeedsTheListHotImage) {
    list->SetAttribute("itemselectedbkcolor", "#FF00FF00");
    list->SetAttribute("itemhotbkcolor", "#FF101010");
    // A frame shows as an edge pixel that differs from the row's inside.
    auto framed = [&] {
        const QImage image = test::Paint(share);
        return image.pixel(0, 15) != image.pixel(50, 15);
    };
    test::Enter(share);
    EXPECT_FALSE(framed()) << "no hot image: no frame";
    list->SetAttribute("itemhotimage", "file='images/button_hot.svg' dest='0,0,0,0'");
    EXPECT_TRUE(framed());
    EXPECT_EQ(test::Paint(share).pixel(0, 15), 0xFF00FF00) << "in the selected-row colour";
    share->Select();
    EXPECT_FALSE(framed()) << "selected rows get no hover frame";
    share->SetSelectedState(false);
    test::Leave(share);
    EXPECT_FALSE(framed());
}

TEST(ListUI, SelectionByCodeCanStaySilent) {
    Host host;
    auto* list = new CListUI(host.window.get());
    list->setObjectName("list");
    for (int i = 0; i < 3; ++i) list->Add(new CListContainerElementUI());
    EXPECT_TRUE(list->SelectItem(2, false));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_TRUE(host.recorder.received.empty());
    EXPECT_TRUE(list->SelectItem(1));
    EXPECT_FALSE(list->SelectItem(3)) << "out of range";
    EXPECT_FALSE(list->SelectItem(-1));
    ASSERT_EQ(host.recorder.received.size(), 1u);
    EXPECT_EQ(host.recorder.received[0].wParam, 1);
    EXPECT_EQ(host.recorder.received[0].lParam, 2);
}

}  // namespace
}  // namespace rerov::ui
