#include <gtest/gtest.h>

#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

#include "controls/chart_view.h"
#include "controls/control_factory.h"
#include "controls/control_lookup.h"
#include "controls/device_key_button.h"
#include "controls/hand_img_select_button.h"
#include "controls/list_base.h"
#include "controls/window_base.h"
#include "controls/wnd_ui.h"
#include "tests/controls/test_support.h"

namespace rerov::ui {
namespace {

class Gallery : public CWindowBase {
  public:
    QString GetSkinFile() const override { return QStringLiteral("XML_GALLERY"); }
    QWidget* CreateControl(const QString& tag) override { return tags.Create(tag); }
    TagTable tags{CustomControlTagRows()};
};

template <typename T>
T* Get(const CWindowBase& w, const QString& name) {
    auto* control = qobject_cast<T*>(w.FindControl(name));
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

// Puts every custom control of the gallery layout into a state worth seeing.
void Stage(Gallery& g) {
    for (int i = 0; i < 33; ++i) {
        auto* key = Get<CDeviceKeyButtonUI>(g, IndexedName("key_", i));
        if (key == nullptr) continue;
        if (i < 11) {
            const QColor c = QColor::fromHsv(i * 33, 255, 255);
            key->SetKeyLight(quint32(c.red() | c.green() << 8 | c.blue() << 16), 255, 1);
        } else if (i < 22) {
            key->SetKeyLight(0xFFFFFF, 40 + (i - 11) * 21, 1);
        }
        if (i == 24 || i == 25) key->SetKeySetMarkHidden(0);
        if (i == 27) key->SetKeyUnsetMarkHidden(0);
    }
    test::Enter(Get<CDeviceKeyButtonUI>(g, "key_29"));
    test::Press(Get<CDeviceKeyButtonUI>(g, "key_31"), {5, 5});

    test::Enter(Get<QWidget>(g, "hand_btn_hot"));
    auto* pan = Get<CHandImgSelectButtonUI>(g, "hand_select");
    test::Press(pan, {100, 60});
    test::Move(pan, {10, 10});
    test::Release(pan, {10, 10});
    test::Enter(Get<QWidget>(g, "macro_loop"));

    auto* hist = Get<CChartViewUI>(g, "chart_hist");
    const std::pair<const char*, double> bands[] = {
        {"63", 4}, {"250", 8}, {"1k", 9}, {"4k", 5}, {"16k", 3}};
    for (const auto& [label, value] : bands) hist->AddItem(label, value);
    auto* pie = Get<CChartViewUI>(g, "chart_pie");
    for (double v : {5.0, 3.0, 2.0, 1.5}) pie->AddItem(QString(), v);

    test::Enter(Get<QWidget>(g, "share_row_1"));
    Get<CListContainerElementUI>(g, "macro_row_0")->Select(true, false);

    auto* combo = Get<QComboBox>(g, "mode_combo");
    combo->addItems({"Wave", "Breathing", "Reactive"});
    auto* embedded = new QLabel(QStringLiteral("embedded"), &g);
    embedded->setAlignment(Qt::AlignCenter);
    embedded->setStyleSheet("color:#3DDC84; font-size:12px;");
    Get<CWndUI>(g, "embedded_wnd")->Attach(embedded);
}

TEST(Gallery, RendersEveryControlToAPicture) {
    Gallery gallery;
    ASSERT_TRUE(gallery.Create(QStringLiteral("REROV ER60 EVER"), QSize(800, 572)));
    gallery.show();
    Stage(gallery);
    QCoreApplication::processEvents();
    ASSERT_TRUE(gallery.SaveScreenshot(QStringLiteral(REROV_GALLERY_PNG))) << REROV_GALLERY_PNG;
    const QImage image(QStringLiteral(REROV_GALLERY_PNG));
    ASSERT_EQ(image.size(), QSize(800, 572));

    // The first key is lit red: its light ring shows red in the picture.
    auto* key0 = gallery.FindControl("key_0");
    const QPoint edge = key0->mapTo(&gallery, QPoint(20, 2));
    const QColor lit = image.pixelColor(edge);
    EXPECT_GT(lit.red(), 150);
    EXPECT_LT(lit.green(), 90);
    // An unlit key of the last row has no light there.
    auto* key30 = gallery.FindControl("key_30");
    const QColor unlit = image.pixelColor(key30->mapTo(&gallery, QPoint(20, 2)));
    EXPECT_LT(unlit.red(), 90);
    // The embedded window sits over its place-holder.
    auto* wnd = gallery.FindControl("embedded_wnd");
    auto* embedded = qobject_cast<CWndUI*>(wnd)->GetHWND();
    EXPECT_EQ(embedded->geometry(), QRect(wnd->mapTo(&gallery, QPoint(0, 0)), wnd->size()));
    EXPECT_TRUE(embedded->isVisible());
    wnd->hide();
    EXPECT_FALSE(embedded->isVisible()) << "hidden with its place-holder";
}

}  // namespace
}  // namespace rerov::ui
