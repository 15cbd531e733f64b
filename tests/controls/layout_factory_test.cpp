#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QUiLoader>

#include "controls/audio_record.h"
#include "controls/circle_progress.h"
#include "controls/combo_edit_container_element.h"
#include "controls/control_factory.h"
#include "controls/control_lookup.h"
#include "controls/device_key_button.h"
#include "controls/hand_img_button.h"
#include "controls/hand_img_select_button.h"
#include "controls/layout_builder.h"
#include "controls/redio_macro_button.h"
#include "controls/render_engine.h"
#include "controls/resource_index.h"
#include "controls/select_panel.h"

namespace rerov::ui {
namespace {

QByteArray UiWith(const QString& body) {
    return QStringLiteral(
               "<?xml version=\"1.0\"?><ui version=\"4.0\"><widget class=\"QWidget\" "
               "name=\"root\">%1</widget></ui>")
        .arg(body)
        .toUtf8();
}

TEST(ControlFactory, ClassTableCreatesEachClass) {
    struct Case {
        const char* name;
        const char* className;  // GetClass of the created control
    };
    const Case cases[] = {
        {"CCircleProgressUI", "CircleProgress"},
        {"CChartViewUI", "Control"},
        {"CWndUI", "Wnd"},
        {"CSelectPanelUI", "SelectPanel"},
        {"CDeviceKeyButtonUI", "DeviceKeyButton"},
        {"CCloudShareListItemUI", "CloudShareListItemUI"},
        {"CComboEditContainerElementUI", "ComboEditContainerElement"},
        {"CHandImgButtonUI", "HandImgButton"},
        {"CHandImgSelectButtonUI", "HandImgSelectButton"},
        {"CRedioMacroButtonUI", "RedioMacroButton"},
        {"CAudioRecordUI", "AudioRecord"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QWidget> w(ControlFactory::Instance().CreateControl(c.name));
        auto* control = qobject_cast<CControlUI*>(w.get());
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->GetClass(), c.className) << c.name;
    }
    EXPECT_EQ(ControlFactory::Instance().CreateControl("CNoSuchUI"), nullptr);
    EXPECT_EQ(ControlFactory::Instance().CreateControl("ccircleprogressui"), nullptr)
        << "class names are exact";
}

TEST(TagTable, CustomControlTagsAreCaseInsensitive) {
    const TagTable table(CustomControlTagRows());
    struct Case {
        const char* tag;
        const char* className;
    };
    const Case cases[] = {
        {"CircleProgress", "CircleProgress"},
        {"circleprogress", "CircleProgress"},
        {"SELECTPANEL", "SelectPanel"},
        {"DeviceKeyButton", "DeviceKeyButton"},
        {"handimgbutton", "HandImgButton"},
        {"AudioRecord", "AudioRecord"},
        {"HandImgSelectButton", "HandImgSelectButton"},
        {"RedioMacroButton", "RedioMacroButton"},
        {"comboeditcontainerelement", "ComboEditContainerElement"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QWidget> w(table.Create(c.tag));
        auto* control = qobject_cast<CControlUI*>(w.get());
        ASSERT_NE(control, nullptr) << c.tag;
        EXPECT_EQ(control->GetClass(), c.className) << c.tag;
    }
    EXPECT_EQ(table.Create("DeviceKeyButtonX"), nullptr);
    EXPECT_EQ(table.Create(""), nullptr);
}

TEST(TagTable, LayoutBuiltRowsReturnTheLayoutRoot) {
    TagTable table;
    table.Add({"ComboItem", {}, "XML\\CustomControlXML\\ComboEditElementItem.xml"});
    table.Add({"Missing", {}, "XML\\CustomControlXML\\NoSuchLayout.xml"});
    std::unique_ptr<QWidget> root(table.Create("comboitem"));
    ASSERT_NE(root, nullptr);
    EXPECT_NE(FindSubControlByName(root.get(), "delay_edit"), nullptr);
    EXPECT_EQ(table.Create("missing"), nullptr);
}

class Callback : public IDialogBuilderCallback {
  public:
    QWidget* CreateControl(const QString& tag) override {
        asked << tag;
        return table.Create(tag);
    }
    TagTable table{CustomControlTagRows()};
    QStringList asked;
};

TEST(LayoutBuilder, ResolvesFactoryCallbackAndQtClassesAndSkipsUnknown) {
    Callback callback;
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(
        UiWith("<widget class=\"CDeviceKeyButtonUI\" name=\"key_0\">"
               "<property name=\"lightimage\" stdset=\"0\"><string>images/key_light.svg</string>"
               "</property><property name=\"text\"><string>Q</string></property></widget>"
               "<widget class=\"CircleProgress\" name=\"ring\">"
               "<property name=\"value\" stdset=\"0\"><string>40</string></property></widget>"
               "<widget class=\"QPushButton\" name=\"plain\"/>"
               "<widget class=\"CMysteryUI\" name=\"mystery\"/>"
               "<widget class=\"QLabel\" name=\"after\"/>"),
        &callback, nullptr));
    ASSERT_NE(root, nullptr) << builder.ErrorString().toStdString();
    auto* key = FindSubControl<CDeviceKeyButtonUI>(root.get(), "key_0");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetLightImage(), "images/key_light.svg");
    EXPECT_EQ(key->GetText(), "Q");
    auto* ring = FindSubControl<CCircleProgressUI>(root.get(), "ring");
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->GetValue(), 40);
    EXPECT_NE(FindSubControl<QPushButton>(root.get(), "plain"), nullptr);
    EXPECT_EQ(FindSubControlByName(root.get(), "mystery"), nullptr) << "unknown class: no control";
    EXPECT_NE(FindSubControl<QLabel>(root.get(), "after"), nullptr) << "building went on";
    EXPECT_TRUE(callback.asked.contains("CircleProgress"));
    EXPECT_FALSE(callback.asked.contains("CDeviceKeyButtonUI")) << "the factory came first";
}

TEST(LayoutBuilder, AttributesNamedLikeWidgetPropertiesReachTheControl) {
    // "font" and "height" are also QWidget properties (a QFont, a read-only int); the
    // layout's values must still arrive as attributes.
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(
        UiWith("<widget class=\"CDeviceKeyButtonUI\" name=\"key_0\">"
               "<property name=\"font\" stdset=\"0\"><string>3</string></property>"
               "<property name=\"height\" stdset=\"0\"><string>33</string></property>"
               "</widget>"),
        nullptr, nullptr));
    ASSERT_NE(root, nullptr) << builder.ErrorString().toStdString();
    auto* key = FindSubControl<CDeviceKeyButtonUI>(root.get(), "key_0");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->GetFont(), render::FontForIndex(3));
    EXPECT_NE(render::FontForIndex(3), render::FontForIndex(-1))
        << "the case must tell fonts apart";
    EXPECT_EQ(key->maximumHeight(), 33);
    EXPECT_EQ(key->minimumHeight(), 33);
}

TEST(LayoutBuilder, MalformedOrMissingLayoutsFailCleanly) {
    LayoutBuilder builder;
    EXPECT_EQ(builder.CreateFromData("<ui version=\"4.0\"><widget", nullptr, nullptr), nullptr);
    EXPECT_EQ(builder.CreateFromData("", nullptr, nullptr), nullptr);
    EXPECT_EQ(builder.Create("XML_NOT_IN_THE_INDEX", nullptr, nullptr), nullptr);
    EXPECT_FALSE(builder.ErrorString().isEmpty());
    std::unique_ptr<QWidget> unknownRoot(builder.CreateFromData(
        "<ui version=\"4.0\"><widget class=\"CMysteryUI\" name=\"root\"/></ui>", nullptr, nullptr));
    EXPECT_EQ(unknownRoot, nullptr);
}

TEST(LayoutBuilder, EverySkinLayoutBuilds) {
    const QString skin = ResourceIndex::Instance().SkinDir();
    QDirIterator it(skin, {"*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    int built = 0;
    const QStringList qtClasses = QUiLoader().availableWidgets();
    while (it.hasNext()) {
        const QString path = it.next();
        // Layouts whose root is a class of a higher layer (the shell's list entry, say)
        // are built by that layer's tests, where the class is registered.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString rootClass = QRegularExpression(QStringLiteral("<widget class=\"(\\w+)\""))
                                      .match(QString::fromUtf8(file.readAll()))
                                      .captured(1);
        if (!ControlFactory::Instance().IsRegistered(rootClass) && !qtClasses.contains(rootClass)) {
            continue;
        }
        LayoutBuilder builder;
        std::unique_ptr<QWidget> root(builder.Create(path, nullptr, nullptr));
        EXPECT_NE(root, nullptr) << path.toStdString() << ": "
                                 << builder.ErrorString().toStdString();
        ++built;
    }
    EXPECT_GT(built, 0);
}

TEST(ResourceIndex, NamesMapToLayoutFiles) {
    const ResourceIndex& index = ResourceIndex::Instance();
    const QString skin = index.SkinDir();
    EXPECT_EQ(index.LayoutPath("XML_GALLERY"), skin + "/gallery.ui");
    EXPECT_EQ(index.LayoutPath("xml_gallery"), skin + "/gallery.ui") << "names ignore case";
    // Backslash names fall back to the .ui file of the same name.
    EXPECT_EQ(index.LayoutPath("XML\\CustomControlXML\\ComboEditElementItem.xml"),
              skin + "/XML/CustomControlXML/ComboEditElementItem.ui");
    EXPECT_EQ(index.SkinPath("images/a.svg"), skin + "/images/a.svg");
    EXPECT_EQ(index.SkinPath("/abs/file.svg"), "/abs/file.svg");
}

TEST(Lookup, FindsControlsInTheWindowAndInsideContainers) {
    QWidget window;
    window.setObjectName("window");
    auto* pageA = new QWidget(&window);
    pageA->setObjectName("page_a");
    auto* pageB = new QWidget(&window);
    pageB->setObjectName("page_b");
    for (int i = 0; i < 3; ++i) {
        (new QLabel(pageA))->setObjectName(IndexedName("key_", i));
    }
    auto* deep = new QLabel(new QWidget(pageB));
    deep->setObjectName("key_7");

    EXPECT_EQ(IndexedName("color_option_", 12), "color_option_12");
    EXPECT_EQ(FindControl(deep, "key_1")->parentWidget(), pageA) << "searched from the window";
    EXPECT_EQ(FindControl(pageA, "window"), &window);
    EXPECT_EQ(FindSubControlByName(pageB, "key_7"), deep);
    EXPECT_EQ(FindSubControlByName(pageA, "key_7"), nullptr) << "not inside page_a";
    EXPECT_EQ(FindSubControlByName(pageA, "page_a"), nullptr) << "the container itself excluded";
    EXPECT_EQ(FindControl(&window, ""), nullptr);
    EXPECT_EQ(FindControl(nullptr, "key_1"), nullptr);
}

}  // namespace
}  // namespace rerov::ui
