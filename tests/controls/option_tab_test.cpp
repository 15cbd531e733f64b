#include <gtest/gtest.h>

#include "controls/layout_builder.h"
#include "controls/option_ui.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

using test::Host;

COptionUI* MakeOption(QWidget* parent, const QString& name, const QString& group) {
    auto* option = new COptionUI(parent);
    option->setObjectName(name);
    option->resize(40, 20);
    option->SetGroup(group);
    return option;
}

void Click(QWidget* w) {
    test::Press(w, {5, 5});
    test::Release(w, {5, 5});
}

TEST(Option, GroupKeepsOneSelectedAndReportsEachChange) {
    Host host;
    auto* a = MakeOption(host.window.get(), "tab_a", "tabs");
    auto* b = MakeOption(new QWidget(host.window.get()), "tab_b", "tabs");  // deeper: same window
    auto* c = MakeOption(host.window.get(), "tab_c", "other");
    c->Selected(true, false);
    Click(a);
    Click(b);
    Click(b);  // clicking the selected option of a group keeps it selected
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_TRUE(c->IsSelected()) << "another group is left alone";
    EXPECT_EQ(host.recorder.Log(),
              (QStringList{"click:tab_a", "selectchanged:tab_a", "click:tab_b",
                           "selectchanged:tab_a", "selectchanged:tab_b", "click:tab_b"}));
}

TEST(Option, WithoutGroupItTogglesAndCodeCanSelectSilently) {
    Host host;
    auto* tick = MakeOption(host.window.get(), "synchro_device_select", "");
    Click(tick);
    EXPECT_TRUE(tick->IsSelected());
    Click(tick);
    EXPECT_FALSE(tick->IsSelected());
    host.recorder.received.clear();
    tick->Selected(true, false);
    EXPECT_TRUE(tick->IsSelected());
    EXPECT_TRUE(host.recorder.received.empty());
    tick->Selected(true);  // no change: nothing sent
    EXPECT_TRUE(host.recorder.received.empty());
}

// Code selects silently in groups of several (the page's feature tabs, the editors' mode
// options): neither the chosen option nor the peers it deselects may send anything.
TEST(Option, SilentSelectionInAGroupOfThreeSendsNothingFromAnyOfThem) {
    Host host;
    auto* a = MakeOption(host.window.get(), "tab_a", "tabs");
    auto* b = MakeOption(host.window.get(), "tab_b", "tabs");
    auto* c = MakeOption(new QWidget(host.window.get()), "tab_c", "tabs");
    a->Selected(true, false);
    b->Selected(true, false);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(c->IsSelected());
    // An option that joins the group selected pushes the others out, silently too.
    auto* d = MakeOption(host.window.get(), "tab_d", "");
    d->Selected(true, false);
    d->SetGroup("tabs");
    EXPECT_FALSE(b->IsSelected());
    EXPECT_TRUE(d->IsSelected());
    EXPECT_TRUE(host.recorder.Log().isEmpty()) << host.recorder.Log().join(',').toStdString();
    // A notifying selection reports the two options that changed, not the untouched third.
    c->Selected(true);
    EXPECT_EQ(host.recorder.Log(), (QStringList{"selectchanged:tab_d", "selectchanged:tab_c"}));
}

TEST(TabLayout, ShowsOneChildAndBoundButtonsSwitchIt) {
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(
        "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">"
        "<widget class=\"CTabLayoutUI\" name=\"device_switch\">"
        "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>100</width><height>50</height>"
        "</rect></property>"
        "<widget class=\"QWidget\" name=\"page_0\"/><widget class=\"QWidget\" name=\"page_1\"/>"
        "<widget class=\"QWidget\" name=\"page_2\"/></widget>"
        "<widget class=\"COptionUI\" name=\"device_select\">"
        "<property name=\"group\" stdset=\"0\"><string>tab_header_device</string></property>"
        "<property name=\"bindtablayoutname\" stdset=\"0\"><string>device_switch</string>"
        "</property><property name=\"bindtabindex\" stdset=\"0\"><string>2</string></property>"
        "</widget></widget></ui>",
        nullptr, nullptr));
    ASSERT_NE(root, nullptr);
    root->resize(200, 100);
    root->show();
    auto* tabs = root->findChild<CTabLayoutUI*>("device_switch");
    ASSERT_NE(tabs, nullptr);
    auto visible = [&] {
        QStringList names;
        for (QWidget* page : tabs->Items()) {
            if (page->isVisibleTo(tabs)) names << page->objectName();
        }
        return names;
    };
    EXPECT_EQ(visible(), QStringList{"page_0"});
    EXPECT_EQ(tabs->Items()[0]->geometry(), tabs->rect()) << "pages fill the layout";
    EXPECT_TRUE(tabs->SelectItem(1));
    EXPECT_EQ(visible(), QStringList{"page_1"});
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_EQ(tabs->GetCurSel(), 1);

    auto* option = root->findChild<COptionUI*>("device_select");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->GetGroup(), "tab_header_device");
    EXPECT_EQ(option->GetBindTabLayoutIndex(), 2);
    Click(option);
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_EQ(visible(), QStringList{"page_2"});

    // A page added while the layout shows (built beforehand, as a hot-plugged device's
    // page is) stays behind the selected one until it is selected.
    auto* late = new QWidget;
    late->setObjectName("page_late");
    late->ensurePolished();
    tabs->Add(late);
    EXPECT_EQ(visible(), QStringList{"page_2"});
    EXPECT_TRUE(tabs->SelectItem(3));
    EXPECT_EQ(visible(), QStringList{"page_late"});
}

}  // namespace
}  // namespace rerov::ui
