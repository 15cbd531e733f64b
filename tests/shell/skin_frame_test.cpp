// The background pop-up and the main window's side of it: clicks, placement, the user's
// own image, and the choice shown again at the next start.

#include "shell/skin/skin_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "controls/resource_index.h"
#include "shell/skin/skin_ini.h"
#include "shell/skin/skin_observer.h"
#include "shell/skin/user_background.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/scoped_environment.h"

namespace rerov::shell {
namespace {

class Recorder : public SkinReceiver {
  public:
    void OnSkinChanged(const SkinChangedParam& param) override { got.push_back(param); }
    std::vector<SkinChangedParam> got;
};

QList<ui::CControlUI*> Controls(QWidget* window, const QString& name) {
    QList<ui::CControlUI*> found;
    for (auto* control : window->findChildren<ui::CControlUI*>()) {
        if (control->objectName().compare(name, Qt::CaseInsensitive) == 0) found << control;
    }
    return found;
}

void Click(QWidget* control) {
    ASSERT_NE(control, nullptr);
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

class SkinFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        owner.resize(800, 572);
        owner.move(100, 100);
        button = new QWidget(&owner);
        button->setGeometry(600, 6, 32, 32);
        owner.show();
        SkinObserver::Instance().AddReceiver(&recorder);
        services.iniPath = QDir(dir.path()).filePath(QStringLiteral("main.ini"));
        services.userImageDir = QDir(dir.path()).filePath(QStringLiteral("skin"));
        services.chooseFile = [this](QWidget*) {
            ++dialogs;
            return chosen;
        };
        services.showMessage = [this](const QString& key) { messages << key; };
    }
    void TearDown() override {
        if (frame) delete frame;
    }
    void Open(int dpi = 96) {
        frame = OpenSkinFrame(&owner, button, dpi, services);
        ASSERT_FALSE(frame.isNull()) << "the layout builds";
    }
    QString Stored(const char* key) const {
        return QSettings(services.iniPath, QSettings::IniFormat)
            .value(QLatin1String(key))
            .toString();
    }

    QTemporaryDir dir;
    QWidget owner;
    QWidget* button = nullptr;
    Recorder recorder;
    SkinFrameServices services;
    QPointer<CSkinFrame> frame;
    QString chosen;
    int dialogs = 0;
    QStringList messages;
};

TEST_F(SkinFrameTest, OpensUnderTheButtonWithItsRightEdgeOnTheButtons) {
    for (int dpi : {96, 144}) {
        Open(dpi);
        const QSize size(CSkinFrame::kDesignWidth * dpi / 96, CSkinFrame::kDesignHeight * dpi / 96);
        EXPECT_EQ(frame->size(), size);
        const QPoint buttonBottomRight = button->mapToGlobal(QPoint(32, 32));
        EXPECT_EQ(frame->pos(), buttonBottomRight - QPoint(size.width(), 0));
        EXPECT_EQ(frame->geometry().right() + 1, buttonBottomRight.x());
        EXPECT_TRUE(frame->isVisible());
        EXPECT_TRUE(frame->windowFlags().testFlag(Qt::Popup)) << "closes when it loses focus";
        delete frame;
    }
}

TEST_F(SkinFrameTest, ImageButtonsBroadcastTheirImageAndKeepIt) {
    Open();
    const auto images = Controls(frame, QStringLiteral("skin_image_btn"));
    ASSERT_GE(images.size(), 4) << "several images to choose from";
    for (ui::CControlUI* image : images) {
        EXPECT_FALSE(image->GetUserData().isEmpty());
        EXPECT_FALSE(ui::ResourceIndex::Instance().SkinPath(image->GetUserData()).isEmpty());
        EXPECT_TRUE(QImage(ui::ResourceIndex::Instance().SkinPath(image->GetUserData())).width() >=
                    1600)
            << image->GetUserData().toStdString() << " covers a large window";
    }
    Click(images[1]);
    ASSERT_EQ(recorder.got.size(), 1u);
    EXPECT_EQ(recorder.got[0], (SkinChangedParam{false, 0, images[1]->GetUserData()}));
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "1");
    EXPECT_EQ(Stored("SKINIMAGE/IMAGE"), images[1]->GetUserData());
    EXPECT_TRUE(frame->isVisible()) << "the user may try another";
}

TEST_F(SkinFrameTest, PageButtonsSwitchTheTabAndColourButtonsBroadcastTheirColour) {
    Open();
    auto* tabs = frame->findChild<ui::CTabLayoutUI*>(QStringLiteral("skin_tab"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_color")));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    const auto colours = Controls(frame, QStringLiteral("skin_color_btn"));
    ASSERT_GE(colours.size(), 8);
    for (ui::CControlUI* colour : colours) {
        EXPECT_EQ(colour->GetBkColor() >> 24, 0xFFu) << "opaque";
        EXPECT_LT(qGray(colour->GetBkColor()), 80) << "dark enough for light text";
    }
    Click(colours[2]);
    ASSERT_EQ(recorder.got.size(), 1u);
    EXPECT_EQ(recorder.got[0], (SkinChangedParam{true, colours[2]->GetBkColor(), QString()}));
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "2");
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_image")));
    EXPECT_EQ(tabs->GetCurSel(), 0);
}

TEST_F(SkinFrameTest, ResetBroadcastsTheDefaultImageAndWritesFlagsZero) {
    Open();
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_reset")));
    ASSERT_EQ(recorder.got.size(), 1u);
    EXPECT_EQ(recorder.got[0],
              (SkinChangedParam{false, 0, QStringLiteral("common/background.png")}));
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "0");
    EXPECT_EQ(Stored("SKINIMAGE/IMAGE"), "common/background.png");
    EXPECT_FALSE(
        QImage(ui::ResourceIndex::Instance().SkinPath(QStringLiteral("common/background.png")))
            .isNull());
}

TEST_F(SkinFrameTest, ACancelledDialogChangesNothing) {
    Open();
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_Custom")));
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(recorder.got.empty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists(services.iniPath));
    EXPECT_SOON(frame.isNull()) << "the frame closed for the dialog";
}

TEST_F(SkinFrameTest, AChosenImageIsCopiedBroadcastAndKept) {
    chosen = QDir(dir.path()).filePath(QStringLiteral("holiday.png"));
    QImage picture(40, 25, QImage::Format_RGB32);
    picture.fill(Qt::darkMagenta);
    ASSERT_TRUE(picture.save(chosen));
    Open();
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_Custom")));
    ASSERT_EQ(recorder.got.size(), 1u);
    const QString copy = recorder.got[0].image;
    EXPECT_FALSE(recorder.got[0].isColour);
    EXPECT_TRUE(copy.startsWith(services.userImageDir + u'/')) << copy.toStdString();
    EXPECT_EQ(Stored("SKINIMAGE/FLAGS"), "1");
    EXPECT_EQ(Stored("SKINIMAGE/IMAGE"), copy);
    ASSERT_TRUE(QFile::remove(chosen));
    EXPECT_EQ(QImage(copy).size(), QSize(40, 25)) << "the copy still shows";
}

TEST_F(SkinFrameTest, ARefusedImageIsExplainedAndChangesNothing) {
    chosen = QDir(dir.path()).filePath(QStringLiteral("notes.png"));
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shopping list");
    file.close();
    Open();
    Click(frame->findChild<QWidget*>(QStringLiteral("skin_Custom")));
    EXPECT_TRUE(recorder.got.empty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "message_skin_not_image");
    EXPECT_FALSE(QFile::exists(services.iniPath));
}

TEST_F(SkinFrameTest, ItsTextsFitTheirControlsInEveryLanguage) {
    for (const char* file : {"lan_cn.xml", "lan_en.xml"}) {
        ASSERT_TRUE(ui::LanguageTexts::Instance().Load(QLatin1String(file))) << file;
        Open(144);
        QApplication::processEvents();
        for (auto* control : frame->findChildren<ui::CControlUI*>()) {
            const QString text = control->GetText();
            if (text.isEmpty()) continue;
            EXPECT_FALSE(text.startsWith(QLatin1String("skin_"))) << file << ": a key shows";
            const int room = control->width() - 8;
            EXPECT_LE(QFontMetrics(control->GetFont()).horizontalAdvance(text), room)
                << file << ": " << control->objectName().toStdString();
        }
        for (auto* widget : frame->findChildren<QWidget*>()) {
            if (qobject_cast<ui::CControlUI*>(widget) || widget->objectName().isEmpty()) continue;
            if (!widget->isVisible()) continue;
            EXPECT_LE(widget->sizeHint().width(), widget->width())
                << file << ": " << widget->objectName().toStdString();
        }
        QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
        EXPECT_TRUE(frame->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/skin_frame_") +
                                          QLatin1String(file).chopped(4) + QStringLiteral(".png")));
        delete frame;
    }
}

// A background covers its control: scaled with its aspect kept until it fills it, centred,
// the overflow cut off on both sides.
TEST(BackgroundCover, FillsTheControlKeepingTheAspectAndCutsTheOverflowEvenly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage stripes(300, 100, QImage::Format_RGB32);
    stripes.fill(Qt::green);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            stripes.setPixel(x, y, qRgb(255, 0, 0));
            stripes.setPixel(299 - x, y, qRgb(0, 0, 255));
        }
    }
    const QString file = QDir(dir.path()).filePath(QStringLiteral("stripes.png"));
    ASSERT_TRUE(stripes.save(file));
    struct Case {
        QSize control;
        int redUntil;  // columns [0, redUntil) red, the same width blue at the right
    };
    // 150 x 100 shows source columns 75..224; 300 x 200 the same, scaled twice; 60 x 20
    // shows columns 0..299 scaled to a fifth; 100 x 100 only the green middle.
    for (const Case& c :
         {Case{{150, 100}, 25}, Case{{300, 200}, 50}, Case{{60, 20}, 20}, Case{{100, 100}, 0}}) {
        ui::CControlUI control;
        control.SetAttribute(QStringLiteral("bkfit"), QStringLiteral("cover"));
        control.SetBkImage(file);
        control.resize(c.control);
        const QImage shown = control.grab().toImage();
        ASSERT_EQ(shown.size(), c.control);
        const int mid = c.control.height() / 2;
        const int w = c.control.width();
        if (c.redUntil > 2) {
            EXPECT_EQ(QColor(shown.pixel(1, mid)), QColor(Qt::red)) << w;
            EXPECT_EQ(QColor(shown.pixel(c.redUntil - 2, mid)), QColor(Qt::red)) << w;
            EXPECT_EQ(QColor(shown.pixel(c.redUntil + 2, mid)), QColor(Qt::green)) << w;
            EXPECT_EQ(QColor(shown.pixel(w - 2, mid)), QColor(Qt::blue)) << w;
            EXPECT_EQ(QColor(shown.pixel(w - c.redUntil - 3, mid)), QColor(Qt::green)) << w;
        } else {
            EXPECT_EQ(QColor(shown.pixel(1, mid)), QColor(Qt::green));
            EXPECT_EQ(QColor(shown.pixel(w - 2, mid)), QColor(Qt::green));
        }
        EXPECT_EQ(QColor(shown.pixel(w / 2, 0)), QColor(Qt::green)) << "fills top to bottom";
        EXPECT_EQ(QColor(shown.pixel(w / 2, c.control.height() - 1)), QColor(Qt::green));
    }
}

TEST(SkinTexts, TheFramesMessagesResolveInEveryLanguage) {
    for (const char* file : {"lan_cn.xml", "lan_en.xml"}) {
        ASSERT_TRUE(ui::LanguageTexts::Instance().Load(QLatin1String(file))) << file;
        for (auto result :
             {UserImageResult::Unreadable, UserImageResult::Empty, UserImageResult::NotAnImage,
              UserImageResult::TooLarge, UserImageResult::CopyFailed}) {
            EXPECT_TRUE(ui::LanguageTexts::Instance().Has(UserImageMessageKey(result))) << file;
        }
        for (const char* key : {"skin_filter_png", "skin_filter_all", "skin_custom_title"}) {
            EXPECT_TRUE(ui::LanguageTexts::Instance().Has(QLatin1String(key))) << file << key;
        }
    }
}

// The main window: the receiver on "root", and the stored choice at start.
class MainWindowSkin : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid());
        userFolder = QDir(data.path()).filePath(QStringLiteral("REROV ER60 EVER"));
        ASSERT_TRUE(QDir().mkpath(userFolder));
        ini = QDir(userFolder).filePath(QStringLiteral("main.ini"));
    }
    void Start() {
        sim = std::make_unique<test::MainWindowOnSim>();
        ASSERT_NE(sim->window, nullptr);
        root = qobject_cast<ui::CControlUI*>(sim->window->FindControl(QStringLiteral("root")));
        ASSERT_NE(root, nullptr);
    }
    void WriteIni(const QByteArray& text) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
    }

    QTemporaryDir data;
    rerov::test::ScopedEnvironment dataHome{"XDG_DATA_HOME", data.path().toUtf8()};
    QString userFolder;
    QString ini;
    std::unique_ptr<test::MainWindowOnSim> sim;
    ui::CControlUI* root = nullptr;
};

TEST_F(MainWindowSkin, WithoutAStoredChoiceTheLayoutsBackgroundShows) {
    Start();
    EXPECT_EQ(root->GetBkImage(), "common/background.png");
    EXPECT_TRUE(root->IsBkImageCover());
}

TEST_F(MainWindowSkin, AChoiceColoursOrCoversTheRoot) {
    Start();
    SkinObserver::Instance().Broadcast({true, 0xFF0C2230u, QString()});
    EXPECT_EQ(root->GetBkColor(), 0xFF0C2230u);
    EXPECT_TRUE(root->GetBkImage().isEmpty());
    SkinObserver::Instance().Broadcast({false, 0, QStringLiteral("backgrounds/aurora.png")});
    EXPECT_EQ(root->GetBkColor(), 0u);
    EXPECT_EQ(root->GetBkImage(), "backgrounds/aurora.png");
    // A window that is gone gets nothing (its receiver left the observer).
    CMainWnd* window = sim->window.get();
    sim.reset();
    EXPECT_FALSE(SkinObserver::Instance().IsSubscribed(window));
    SkinObserver::Instance().Broadcast({true, 1, QString()});
}

TEST_F(MainWindowSkin, TheSkinButtonOpensOneFrameUnderItself) {
    Start();
    CMainWnd* window = sim->window.get();
    window->show();
    QWidget* button = window->FindControl(QStringLiteral("skinbtn"));
    ASSERT_NE(button, nullptr);
    ASSERT_SOON(button->isVisible());
    Click(button);
    auto frames = window->findChildren<CSkinFrame*>();
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE(frames[0]->isVisible());
    EXPECT_EQ(frames[0]->pos(), CSkinFrame::PlaceUnder(button, frames[0]->size()));
    Click(button);
    EXPECT_EQ(window->findChildren<CSkinFrame*>().size(), 1) << "a click while open does nothing";
    // Once it closed (the user clicked elsewhere), the button opens a new one.
    frames[0]->close();
    ASSERT_SOON(window->findChildren<CSkinFrame*>().isEmpty());
    Click(button);
    EXPECT_EQ(window->findChildren<CSkinFrame*>().size(), 1);
}

TEST_F(MainWindowSkin, TheStoredChoiceShowsAgainAtStart) {
    ASSERT_TRUE(WriteSkinColour(ini, 0xFF2A1222u));
    Start();
    EXPECT_EQ(root->GetBkColor(), 0xFF2A1222u);
    EXPECT_TRUE(root->GetBkImage().isEmpty());
    sim.reset();

    ASSERT_TRUE(WriteSkinImage(ini, kSkinFlagImage, QStringLiteral("backgrounds/carbon.png")));
    Start();
    EXPECT_EQ(root->GetBkImage(), "backgrounds/carbon.png");
    EXPECT_EQ(root->GetBkColor(), 0u);
}

TEST_F(MainWindowSkin, ABrokenOrHostileStoredChoiceLeavesTheLayoutsBackground) {
    const QByteArray cases[] = {
        "[SKINIMAGE]\nFLAGS=1\nIMAGE=../../../etc/passwd\n",
        "[SKINIMAGE]\nFLAGS=1\nIMAGE=/etc/hostname\n",
        "[SKINIMAGE]\nFLAGS=1\nIMAGE=backgrounds/none.png\n",
        QByteArray("\xff\xfe[SKIN\x00IMAGE\n", 15),
    };
    for (const QByteArray& text : cases) {
        WriteIni(text);
        Start();
        EXPECT_EQ(root->GetBkImage(), "common/background.png") << text.constData();
        EXPECT_EQ(root->GetBkColor(), 0xFF12151Bu);
        sim.reset();
    }
}

}  // namespace
}  // namespace rerov::shell
