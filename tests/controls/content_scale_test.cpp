// Scaling a control tree designed at 96 DPI, and device pictures that fit their room.

#include "controls/content_scale.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <memory>

#include "controls/device_key_button.h"
#include "controls/device_picture.h"
#include "controls/layout_builder.h"
#include "controls/option_ui.h"
#include "controls/select_panel.h"

namespace rerov::ui {
namespace {

TEST(ContentScale, RectanglesScaleByTheirEdges) {
    struct Case {
        QRect design;
        qreal scale;
        QRect scaled;
    };
    const Case cases[] = {
        {QRect(0, 0, 176, 56), 1.5, QRect(0, 0, 264, 84)},
        {QRect(10, 10, 21, 21), 1.5, QRect(15, 15, 32, 32)},  // 10..31 -> 15..46.5
        {QRect(33, 10, 21, 21), 1.5, QRect(50, 15, 31, 32)},  // touches the key before
        {QRect(3, 4, 5, 6), 1.0, QRect(3, 4, 5, 6)},
        {QRect(100, 60, 400, 260), 0.5, QRect(50, 30, 200, 130)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleRect(c.design, c.scale), c.scaled) << c.design.x() << "," << c.scale;
    }
    // Keys that touch in the design touch at any scale: no gaps or overlaps from rounding.
    for (qreal scale : {1.1, 1.37, 1.5, 2.25}) {
        const QRect left = ScaleRect(QRect(10, 0, 23, 21), scale);
        const QRect right = ScaleRect(QRect(33, 0, 23, 21), scale);
        EXPECT_EQ(left.right() + 1, right.left()) << scale;
    }
}

TEST(ContentScale, SizeLimitsKeepUnlimited) {
    EXPECT_EQ(ScaleSizeLimit(QSize(0, 44), 1.5), QSize(0, 66));
    EXPECT_EQ(ScaleSizeLimit(QSize(QWIDGETSIZE_MAX, 44), 1.5), QSize(QWIDGETSIZE_MAX, 66));
}

TEST(ContentScale, StyleSheetLengthsScale) {
    const QString sheet = QStringLiteral(
        "QWidget { font-size: 14px; }\nQSlider::handle { margin: -6px 0; border: 1px solid "
        "#19C3FF; width: 14px; }\nQLabel { color: #E6E8EE; }");
    EXPECT_EQ(ScaleStyleSheet(sheet, 1.5),
              QStringLiteral("QWidget { font-size: 21px; }\nQSlider::handle { margin: -9px 0; "
                             "border: 2px solid #19C3FF; width: 21px; }\nQLabel { color: "
                             "#E6E8EE; }"));
    EXPECT_EQ(ScaleStyleSheet(sheet, 1.0), sheet);
    // A hair line never vanishes.
    EXPECT_EQ(ScaleStyleSheet(QStringLiteral("border: 1px"), 0.4), QStringLiteral("border: 1px"));
}

// A small window content: a fixed-height bar with margins and a label in a layout, a tile
// whose children sit by coordinates, and a tab layout.
struct Tree {
    Tree() {
        root = std::make_unique<CContainerUI>();
        root->resize(400, 300);
        auto* box = new QHBoxLayout(root.get());
        box->setContentsMargins(10, 6, 8, 4);
        box->setSpacing(5);
        label = new CLabelUI;
        label->SetAttribute(QStringLiteral("font"), QStringLiteral("4"));  // 16 px
        label->setFixedSize(80, 20);
        box->addWidget(label);
        tile = new CContainerUI;
        tile->setFixedSize(176, 56);
        box->addWidget(tile);
        tileName = new CLabelUI(tile);
        tileName->setGeometry(60, 0, 110, 56);
        tabs = new CTabLayoutUI;
        box->addWidget(tabs);
        tabPage = new CContainerUI(tabs);
        tabPage->setGeometry(0, 0, 50, 50);
    }
    std::unique_ptr<CContainerUI> root;
    CLabelUI* label;
    CContainerUI* tile;
    CLabelUI* tileName;
    CTabLayoutUI* tabs;
    CContainerUI* tabPage;
};

TEST(ContentScale, TreeScalesSizesMarginsPositionsAndFonts) {
    Tree t;
    ScaleWidgetTree(t.root.get(), 1.5);
    EXPECT_EQ(t.label->minimumSize(), QSize(120, 30));
    EXPECT_EQ(t.label->maximumSize(), QSize(120, 30));
    EXPECT_EQ(t.label->GetFont().pixelSize(), 24);
    EXPECT_EQ(t.tile->maximumSize(), QSize(264, 84));
    EXPECT_EQ(t.tileName->geometry(), QRect(90, 0, 165, 84));
    EXPECT_EQ(t.root->layout()->contentsMargins(), QMargins(15, 9, 12, 6));
    EXPECT_EQ(t.root->layout()->spacing(), 8);  // 7.5 rounds away from zero
    // The tab layout places its pages itself.
    EXPECT_EQ(t.tabPage->geometry(), QRect(0, 0, 50, 50));
}

TEST(ContentScale, ScalingAgainStartsFromTheDesign) {
    Tree t;
    ScaleWidgetTree(t.root.get(), 1.5);
    ScaleWidgetTree(t.root.get(), 1.5);
    EXPECT_EQ(t.tile->maximumSize(), QSize(264, 84)) << "applying twice must not compound";
    ScaleWidgetTree(t.root.get(), 1.0);
    EXPECT_EQ(t.label->maximumSize(), QSize(80, 20));
    EXPECT_EQ(t.label->GetFont().pixelSize(), 16);
    EXPECT_EQ(t.tileName->geometry(), QRect(60, 0, 110, 56));
    EXPECT_EQ(t.root->layout()->contentsMargins(), QMargins(10, 6, 8, 4));
    EXPECT_EQ(t.root->layout()->spacing(), 5);
}

// A picture of 200 x 100 design pixels at (50, 20) holding one key with a label font.
struct Picture {
    Picture() {
        picture = std::make_unique<CDevicePictureUI>();
        panel = new CSelectPanelUI(picture.get());
        panel->setGeometry(50, 20, 200, 100);
        key = new CDeviceKeyButtonUI(panel);
        key->setGeometry(10, 10, 21, 21);
        key->SetAttribute(QStringLiteral("font"), QStringLiteral("10"));  // 10 px
    }
    std::unique_ptr<CDevicePictureUI> picture;
    CSelectPanelUI* panel;
    CDeviceKeyButtonUI* key;
};

TEST(DevicePicture, FillsItsRoomKeepingTheAspectAndCentred) {
    struct Case {
        QSize room;
        qreal scale;
        QRect panel;
    };
    const Case cases[] = {
        {QSize(200, 100), 1.0, QRect(0, 0, 200, 100)},
        {QSize(600, 200), 2.0, QRect(100, 0, 400, 200)},  // height limits: centred across
        {QSize(300, 400), 1.5, QRect(0, 125, 300, 150)},  // width limits: centred down
        {QSize(100, 100), 0.5, QRect(0, 25, 100, 50)},
    };
    for (const Case& c : cases) {
        Picture p;
        p.picture->resize(c.room);
        p.picture->Relayout();
        EXPECT_DOUBLE_EQ(p.picture->PictureScale(), c.scale) << c.room.width();
        EXPECT_EQ(p.panel->geometry(), c.panel) << c.room.width();
        EXPECT_EQ(p.key->geometry(), ScaleRect(QRect(10, 10, 21, 21), c.scale));
        EXPECT_EQ(p.key->GetFont().pixelSize(), qRound(10 * c.scale));
    }
}

TEST(DevicePicture, FollowsResizesBothWays) {
    Picture p;
    p.picture->resize(400, 200);
    p.picture->Relayout();
    EXPECT_EQ(p.key->width(), 42);
    p.picture->resize(200, 100);
    p.picture->Relayout();
    EXPECT_EQ(p.key->geometry(), QRect(10, 10, 21, 21)) << "back to the design, no drift";
}

TEST(DevicePicture, TheWindowScaleStopsAtThePicture) {
    CContainerUI root;
    auto* box = new QHBoxLayout(&root);
    box->setContentsMargins(0, 0, 0, 0);
    Picture p;
    p.picture->setMinimumSize(100, 50);
    box->addWidget(p.picture.release());
    root.resize(200, 100);
    auto* picture = root.findChild<CDevicePictureUI*>();
    ScaleWidgetTree(&root, 1.5);
    EXPECT_EQ(picture->minimumSize(), QSize(150, 75));
    picture->resize(200, 100);
    picture->Relayout();
    // Inside, only the picture's own factor counts (1 for a room of the design size).
    EXPECT_EQ(root.findChild<CDeviceKeyButtonUI*>()->geometry(), QRect(10, 10, 21, 21));
}

TEST(DevicePicture, HostsAPictureLayoutAndRefusesEndlessNesting) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString hosted = dir.filePath(QStringLiteral("hosted.ui"));
    const QString looping = dir.filePath(QStringLiteral("looping.ui"));
    auto write = [](const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(text.toUtf8()), text.toUtf8().size());
        ASSERT_TRUE(file.flush());
    };
    write(hosted, QStringLiteral(
                      "<ui version=\"4.0\"><widget class=\"CSelectPanelUI\" name=\"hosted_panel\">"
                      "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>300</width>"
                      "<height>100</height></rect></property>"
                      "<widget class=\"CDeviceKeyButtonUI\" name=\"key_0\"><property "
                      "name=\"geometry\"><rect><x>30</x><y>20</y><width>20</width><height>20"
                      "</height></rect></property></widget></widget></ui>"));
    write(looping,
          QStringLiteral("<ui version=\"4.0\"><widget class=\"CDevicePictureUI\" name=\"loop\">"
                         "<property name=\"picture\" stdset=\"0\"><string>%1</string></property>"
                         "</widget></ui>")
              .arg(looping));
    const QByteArray page =
        QStringLiteral(
            "<ui version=\"4.0\"><widget class=\"CDevicePictureUI\" name=\"area\">"
            "<property name=\"picture\" stdset=\"0\"><string>%1</string></property>"
            "</widget></ui>")
            .arg(hosted)
            .toUtf8();
    LayoutBuilder builder;
    std::unique_ptr<QWidget> root(builder.CreateFromData(page, nullptr, nullptr));
    auto* area = qobject_cast<CDevicePictureUI*>(root.get());
    ASSERT_NE(area, nullptr) << builder.ErrorString().toStdString();
    EXPECT_TRUE(area->PictureError().isEmpty()) << area->PictureError().toStdString();
    ASSERT_NE(area->findChild<CSelectPanelUI*>(QStringLiteral("hosted_panel")), nullptr);
    area->resize(600, 300);
    area->Relayout();
    EXPECT_EQ(area->findChild<CDeviceKeyButtonUI*>()->geometry(), QRect(60, 40, 40, 40));

    // A picture that hosts itself stops after a few levels, with the reason kept.
    QFile file(looping);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> loop(builder.CreateFromData(file.readAll(), nullptr, nullptr));
    ASSERT_NE(loop, nullptr);
    const QList<CDevicePictureUI*> nested = loop->findChildren<CDevicePictureUI*>();
    ASSERT_FALSE(nested.isEmpty());
    EXPECT_FALSE(nested.last()->PictureError().isEmpty());

    // A picture layout that does not exist leaves an empty picture and says why.
    const QByteArray missing = QByteArrayLiteral(
        "<ui version=\"4.0\"><widget class=\"CDevicePictureUI\" name=\"m\">"
        "<property name=\"picture\" stdset=\"0\"><string>no/such.ui</string>"
        "</property></widget></ui>");
    std::unique_ptr<QWidget> empty(builder.CreateFromData(missing, nullptr, nullptr));
    auto* none = qobject_cast<CDevicePictureUI*>(empty.get());
    ASSERT_NE(none, nullptr);
    EXPECT_FALSE(none->PictureError().isEmpty());
    EXPECT_TRUE(none->findChildren<QWidget*>().isEmpty());
}

}  // namespace
}  // namespace rerov::ui
