// The audio style window: what it shows of the set it is given, the edits of the selected
// style only, a cleared name put back, OK against close, and a layout without its controls.

#include "shell/dialogs/music_wnd.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "controls/notification.h"
#include "controls/skin_setup.h"
#include "shell/audio/audio_style_set.h"

namespace rerov::shell {
namespace {

using audio::AudioStyleSet;

AudioStyleSet SomeStyles() {
    AudioStyleSet styles;
    styles.selected = 2;
    styles.names = {"one", "two", "three", "four"};
    styles.levels = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 0}, {9, 9, 9}}};
    return styles;
}

template <typename T>
T* Find(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Opens the window modally with `styles`, runs `act` on it and answers with the button
// `answer`; returns the result.
int RunWindow(AudioStyleSet* styles, const std::function<void(CMusicWnd&)>& act,
              const char* answer) {
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<CMusicWnd*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        act(*window);
        auto* button = Find<QWidget>(window, answer);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    });
    return ShowMusicWindow(nullptr, 96, styles);
}

TEST(MusicWindow, ShowsTheSelectedStyleAndItsNames) {
    ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
    AudioStyleSet styles = SomeStyles();
    QSize size;
    RunWindow(
        &styles,
        [&](CMusicWnd& window) {
            size = window.size();
            EXPECT_TRUE(Find<QAbstractButton>(&window, "audio_select_tab3")->isChecked());
            EXPECT_EQ(Find<QSlider>(&window, "audio_r_slider")->value(), 7);
            EXPECT_EQ(Find<QSlider>(&window, "audio_g_slider")->value(), 8);
            EXPECT_EQ(Find<QSlider>(&window, "audio_b_slider")->maximum(), 9);
            EXPECT_EQ(Find<QLineEdit>(&window, "audio_edit_name4")->text(), "four");
            QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
            EXPECT_TRUE(
                window.SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/music_window.png")));
        },
        "closebtn");
    EXPECT_EQ(size, QSize(CMusicWnd::kDesignWidth, CMusicWnd::kDesignHeight));
}

TEST(MusicWindow, TheGreenSliderOnTabTwoChangesOnlyStyleOne) {
    AudioStyleSet styles = SomeStyles();
    const int result = RunWindow(
        &styles,
        [](CMusicWnd& window) {
            QTest::mouseClick(Find<QAbstractButton>(&window, "audio_select_tab2"), Qt::LeftButton);
            // The sliders show the newly selected style.
            EXPECT_EQ(Find<QSlider>(&window, "audio_g_slider")->value(), 5);
            Find<QSlider>(&window, "audio_g_slider")->setValue(9);
        },
        "okbtn");
    EXPECT_EQ(result, kMusicConfirmed);
    AudioStyleSet expected = SomeStyles();
    expected.selected = 1;
    expected.levels[1][1] = 9;
    EXPECT_EQ(styles, expected);
}

TEST(MusicWindow, AClearedNameIsPutBackAsItsDefault) {
    AudioStyleSet styles = SomeStyles();
    QString shown;
    RunWindow(
        &styles,
        [&](CMusicWnd& window) {
            auto* edit = Find<QLineEdit>(&window, "audio_edit_name3");
            edit->clear();
            ui::SendNotify(edit, ui::notify_type::kKillFocus);
            shown = edit->text();
        },
        "okbtn");
    EXPECT_EQ(shown, QStringLiteral("第三组"));
    EXPECT_EQ(styles.names[2], "第三组");
    EXPECT_EQ(styles.names[1], "two");
}

TEST(MusicWindow, ClosingDiscardsTheEdits) {
    AudioStyleSet styles = SomeStyles();
    const int result = RunWindow(
        &styles,
        [](CMusicWnd& window) {
            Find<QSlider>(&window, "audio_r_slider")->setValue(0);
            Find<QLineEdit>(&window, "audio_edit_name1")->setText(QStringLiteral("new"));
            ui::SendNotify(Find<QLineEdit>(&window, "audio_edit_name1"),
                           ui::notify_type::kKillFocus);
        },
        "closebtn");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(styles, SomeStyles());
}

// The message box's layout has none of the window's controls.
class BareMusicWnd : public CMusicWnd {
  public:
    using CMusicWnd::CMusicWnd;
    QString GetSkinFile() const override { return QStringLiteral("XML_MSG"); }
};

TEST(MusicWindow, ALayoutWithoutItsControlsOpensAndEditsNothing) {
    BareMusicWnd window(SomeStyles());
    ASSERT_TRUE(window.Create(QStringLiteral("  "), QSize(369, 276)));
    window.show();
    ui::Notification change;
    change.type = ui::notify_type::kValueChanged;
    change.sender = &window;
    window.Notify(change);
    ui::Notification select{ui::notify_type::kSelectChanged, &window, 1, 0};
    window.Notify(select);
    EXPECT_EQ(window.Styles(), SomeStyles());
}

}  // namespace
}  // namespace rerov::shell
