// The settings and update window: the language choice, the update rows and their statuses,
// the status line, the updater's relay codes and when the window may close.

#include "shell/settings/set_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "controls/skin_setup.h"
#include "shell/language/language_config.h"
#include "shell/settings/update_info_list_item.h"
#include "shell/settings/update_relay.h"

namespace rerov::shell {
namespace {

class FakeOwner : public SettingsOwner {
  public:
    void OnLanguageChosen(int index) override { chosen.push_back(index); }
    void ClearUpdateBadge() override { ++badgeCleared; }
    void ExitProgram() override { ++exits; }

    std::vector<int> chosen;
    int badgeCleared = 0;
    int exits = 0;
};

VersionRow Row(const char* name, int version) {
    VersionRow row;
    row.numbers = {1, 1, version};
    row.displayName = QString::fromLatin1(name);
    return row;
}

class SettingsWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
        ProgramUpdateProgress() = {};
        wnd = std::make_unique<CSetWnd>();
        ASSERT_TRUE(wnd->Create(QStringLiteral("SetWnd"),
                                QSize(CSetWnd::kDesignWidth, CSetWnd::kDesignHeight)));
        wnd->SetOwner(&owner);
        wnd->SetUpdateTimeFile(std::filesystem::path(dir.path().toStdString()) /
                               "updatetime.config");
        wnd->SetClock([] { return QDate(2024, 3, 5); });
        wnd->SetLanguageIndex(1);
        wnd->SetVersionRows({Row("Keyboard", 105), Row("Mouse pad", 201), Row("AP", 107)});
        wnd->show();  // "windowinit": the window's start-up
    }
    void TearDown() override {
        wnd.reset();
        ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
    }

    CUpdateInfoListItemUI* RowAt(size_t i) const { return wnd->Rows().at(i); }
    QWidget* Control(const char* name) const { return wnd->FindControl(QLatin1String(name)); }
    QString StatusLine() const {
        return Control("Update_Status_text")->property("text").toString();
    }
    // Puts row `i` into an update that runs: offered, checked, confirmed (status 3).
    void StartUpdateOf(size_t i) {
        RowAt(i)->SetStatus(1);
        RowAt(i)->SetChecked(true, true);
        qobject_cast<QPushButton*>(Control("update_OK_btn"))->click();
        ASSERT_EQ(RowAt(i)->Status(), 3);
    }

    QTemporaryDir dir;
    FakeOwner owner;
    std::unique_ptr<CSetWnd> wnd;
};

TEST_F(SettingsWindow, OpensWithOneRowPerVersionAndTheFirstOpenDateStored) {
    EXPECT_EQ(wnd->objectName(), "SetWnd");
    EXPECT_EQ(wnd->size(), QSize(630, 500));
    ASSERT_EQ(wnd->Rows().size(), 3u);
    EXPECT_EQ(wnd->CountedRows(), 3);
    EXPECT_EQ(RowAt(0)->ProductName(), "Keyboard");
    EXPECT_EQ(RowAt(0)->CurrentRevision(), "V1.0.5");
    EXPECT_EQ(RowAt(2)->CurrentRevision(), "V1.0.7");
    for (CUpdateInfoListItemUI* row : wnd->Rows()) {
        EXPECT_EQ(row->Status(), 0);
        EXPECT_FALSE(row->IsCheckEnabled());
    }
    EXPECT_EQ(wnd->LastCheckDate(), "2024-3-5");
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("updatetime.config"))));
    // Status line 0: the busy ring and "looking for updates".
    EXPECT_EQ(wnd->Status(), kStatusChecking);
    EXPECT_TRUE(Control("update_status_ring")->isVisibleTo(wnd.get()));
    EXPECT_FALSE(Control("update_status_image")->isVisibleTo(wnd.get()));
    EXPECT_EQ(StatusLine(), ui::Tr(QStringLiteral("GetUpdateInfoText")));
    EXPECT_FALSE(Control("update_fw_and_ap")->isVisibleTo(wnd.get()));
}

TEST_F(SettingsWindow, TheLanguageComboListsTheLanguagesAndReportsEveryChoice) {
    auto* combo = qobject_cast<QComboBox*>(Control("Language_combox_info"));
    ASSERT_NE(combo, nullptr);
    const LanguageList languages = ReadLanguageList();
    ASSERT_EQ(combo->count(), static_cast<int>(languages.size()));
    for (int i = 0; i < combo->count(); ++i) {
        EXPECT_EQ(combo->itemText(i), ui::Tr(languages[static_cast<size_t>(i)].textKey));
    }
    EXPECT_EQ(combo->currentIndex(), 1) << "the main window's language, selected silently";
    EXPECT_TRUE(owner.chosen.empty());
    // A pick of another language, as the combo reports it: the index changes, then
    // "activated".
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(owner.chosen, std::vector<int>{0});
    // The language already chosen, picked again: only "activated"; still reported once.
    emit combo->activated(0);
    EXPECT_EQ(owner.chosen, (std::vector<int>{0, 0}));
    EXPECT_EQ(wnd->LanguageIndex(), 0);
}

TEST(UpdateRow, EachStatusHasItsTextColoursAndParts) {
    ASSERT_TRUE(ui::ApplyLanguage(QStringLiteral("lan_en.xml")));
    const struct {
        int status;
        const char* key;
        bool progress;
        bool done;
        bool check;
        quint32 colour;
    } cases[] = {
        {0, "LessUpdateText", false, false, false, 0xFF666666},
        {1, "NeedUpdateText", false, false, true, 0xFF0099FF},
        {2, "NeedUpdateText", false, false, true, 0xFF0099FF},
        {3, "DownloadWaitText", false, false, false, 0xFF0078C8},
        {4, "DownloadIngText", true, false, false, 0xFF0078C8},
        {5, "DownloadOkText", false, true, false, 0xFF0078C8},
        {6, "UpdateIngText", true, false, false, 0xFF0078C8},
        {7, "UpdateOkText", false, false, false, 0xFF666666},
        {8, "UpdateFailText", false, false, true, 0xFF0099FF},
    };
    CUpdateInfoListItemUI row;
    EXPECT_EQ(row.GetClass(), "UpdateInfoListItemUI");
    for (const auto& c : cases) {
        row.SetStatus(c.status);
        EXPECT_EQ(row.Status(), c.status);
        const auto* text = row.findChild<ui::CControlUI*>(QStringLiteral("update_status_text"));
        EXPECT_EQ(text->GetText(), ui::Tr(QLatin1String(c.key))) << c.status;
        EXPECT_NE(text->GetText(), QLatin1String(c.key)) << "the language has the text";
        EXPECT_EQ(row.findChild<QWidget*>(QStringLiteral("update_status_ing"))->isVisibleTo(&row),
                  c.progress)
            << c.status;
        EXPECT_EQ(row.findChild<QWidget*>(QStringLiteral("update_status_ok"))->isVisibleTo(&row),
                  c.done)
            << c.status;
        EXPECT_EQ(row.IsCheckEnabled(), c.check) << c.status;
        EXPECT_EQ(row.StatusTextColour(), c.colour) << c.status;
        EXPECT_EQ(UpdateRowLookOf(c.status)->textKey, std::string(c.key));
    }
    // An offered row whose option is turned off shows the darker colour of its status.
    row.SetStatus(1);
    row.SetCheckEnabled(false);
    EXPECT_EQ(row.StatusTextColour(), 0xFF0078C8u);
    // Out of range: ignored.
    row.SetStatus(9);
    row.SetStatus(-1);
    EXPECT_EQ(row.Status(), 1);
}

TEST(UpdateRow, RevisionsAndProgressShowAsText) {
    CUpdateInfoListItemUI row;
    auto* newRev = row.findChild<ui::CControlUI*>(QStringLiteral("updateRev"));
    row.SetNewRevision(QStringLiteral("V1.0.6"));
    EXPECT_TRUE(newRev->isVisibleTo(&row));
    EXPECT_EQ(row.NewRevision(), "V1.0.6");
    row.SetNewRevision(QString());
    EXPECT_FALSE(newRev->isVisibleTo(&row)) << "an empty new revision is hidden";
    row.SetProgress(45);
    EXPECT_EQ(row.Progress(), 45);
    EXPECT_EQ(row.findChild<ui::CControlUI*>(QStringLiteral("update_progress_value"))->GetText(),
              "45%");
}

TEST_F(SettingsWindow, CheckingARowOffersTheUpdateButtonAndConfirmingStartsIt) {
    RowAt(0)->SetStatus(1);
    RowAt(1)->SetStatus(2);
    auto* check = RowAt(0)->findChild<QCheckBox*>(QStringLiteral("check_name_select"));
    QWidget* update = Control("update_fw_and_ap");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    ASSERT_TRUE(RowAt(0)->IsChecked());
    EXPECT_TRUE(update->isVisibleTo(wnd.get()));
    EXPECT_TRUE(update->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    EXPECT_FALSE(update->isVisibleTo(wnd.get()));
    EXPECT_FALSE(update->isEnabled());

    RowAt(0)->SetChecked(true, true);
    auto* tab = qobject_cast<ui::CTabLayoutUI*>(Control("get_update_tab_layout"));
    qobject_cast<QPushButton*>(update)->click();
    EXPECT_EQ(tab->GetCurSel(), 1) << "the confirmation page";
    qobject_cast<QPushButton*>(Control("update_OK_btn"))->click();
    EXPECT_EQ(RowAt(0)->Status(), 3) << "checked and offered: waits for its download";
    EXPECT_EQ(RowAt(1)->Status(), 2) << "offered, not checked: stays";
    EXPECT_FALSE(RowAt(1)->IsCheckEnabled()) << "and cannot be added any more";
    EXPECT_EQ(RowAt(2)->Status(), 0);
    EXPECT_FALSE(update->isEnabled());
    EXPECT_TRUE(ProgramUpdateProgress().updateStarted);
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_EQ(wnd->CurrentRow(), RowAt(0));
    // A picture for people to look at: a row waiting, one no longer to be chosen.
    QDir().mkpath(QStringLiteral(REROV_SCREENSHOT_DIR));
    EXPECT_TRUE(wnd->SaveScreenshot(QStringLiteral(REROV_SCREENSHOT_DIR "/settings_window.png")));
}

TEST_F(SettingsWindow, ProgressAndFailuresChangeOnlyTheCurrentRow) {
    StartUpdateOf(1);
    EXPECT_FALSE(wnd->Relay(4, 45)) << "a running update keeps the window open";
    EXPECT_EQ(RowAt(1)->Progress(), 45);
    EXPECT_EQ(RowAt(0)->Progress(), 0);
    // Code 2 counts only while a transfer runs (state neither 0 nor 1).
    EXPECT_FALSE(wnd->Relay(2, 0));
    EXPECT_EQ(RowAt(1)->Status(), 3);
    ProgramUpdateProgress().transferState = 5;
    EXPECT_TRUE(wnd->Relay(2, 0)) << "failed: nothing runs any more, so the window closes";
    EXPECT_EQ(RowAt(1)->Status(), 8);
    EXPECT_EQ(wnd->CurrentRow(), nullptr);
}

TEST_F(SettingsWindow, AGivenUpTransferFailsTheRowAndResetsTheState) {
    StartUpdateOf(0);
    EXPECT_TRUE(wnd->Relay(3, 0));
    EXPECT_EQ(RowAt(0)->Status(), 8);
    EXPECT_TRUE(RowAt(0)->IsCheckEnabled()) << "a failed row can be chosen again";
    EXPECT_EQ(ProgramUpdateProgress().transferState, -1);
}

TEST_F(SettingsWindow, AFinishedRowTakesItsNewRevisionAndTheLastOneEndsTheUpdate) {
    RowAt(0)->SetNewRevision(QStringLiteral("V1.0.6"));
    RowAt(1)->SetNewRevision(QStringLiteral("V2.0.2"));
    RowAt(0)->SetStatus(1);
    RowAt(1)->SetStatus(1);
    RowAt(0)->SetChecked(true, true);
    RowAt(1)->SetChecked(true, true);
    qobject_cast<QPushButton*>(Control("update_OK_btn"))->click();
    ProgramUpdateProgress().transferState = 3;

    EXPECT_FALSE(wnd->Relay(1, 0)) << "the second row still waits";
    EXPECT_EQ(RowAt(0)->Status(), 7);
    EXPECT_EQ(RowAt(0)->CurrentRevision(), "V1.0.6");
    EXPECT_TRUE(RowAt(0)->NewRevision().isEmpty());
    EXPECT_FALSE(RowAt(0)->IsChecked());
    EXPECT_EQ(ProgramUpdateProgress().transferState, 0);
    EXPECT_EQ(wnd->Status(), kStatusChecking) << "not yet decided";
    EXPECT_EQ(wnd->CurrentRow(), RowAt(1));

    EXPECT_TRUE(wnd->Relay(1, 0));
    EXPECT_EQ(RowAt(1)->Status(), 7);
    EXPECT_EQ(RowAt(1)->CurrentRevision(), "V2.0.2");
    // The program's row never updated: it can be chosen, and the status line says so.
    EXPECT_TRUE(RowAt(2)->IsCheckEnabled());
    EXPECT_EQ(wnd->Status(), kStatusUpdatesFound);
    EXPECT_EQ(owner.badgeCleared, 0);
}

TEST_F(SettingsWindow, WhenNothingIsLeftTheStatusLineSaysUpToDateWithTheDate) {
    // A window with one row: the update of that row finishing leaves nothing to do.
    CSetWnd single;
    ASSERT_TRUE(single.Create(QStringLiteral("SetWnd"), QSize(630, 500)));
    single.SetOwner(&owner);
    single.SetUpdateTimeFile(std::filesystem::path(dir.path().toStdString()) / "single.config");
    single.SetClock([] { return QDate(2024, 3, 5); });
    single.SetVersionRows({Row("Keyboard", 105)});
    single.show();
    CUpdateInfoListItemUI* row = single.Rows().at(0);
    row->SetStatus(1);
    row->SetChecked(true, true);
    qobject_cast<QPushButton*>(single.FindControl(QStringLiteral("update_OK_btn")))->click();
    EXPECT_TRUE(single.Relay(1, 0));
    EXPECT_EQ(single.Status(), kStatusUpToDate);
    EXPECT_EQ(owner.badgeCleared, 1) << "the update badge of \"setbtn\" goes";
    auto* text = single.FindControl(QStringLiteral("Update_Status_text"));
    EXPECT_EQ(text->property("text").toString(),
              ui::Tr(QStringLiteral("UpdateIsLastText")) + QStringLiteral("2024-3-5"));
    EXPECT_FALSE(single.FindControl(QStringLiteral("update_status_ring"))->isVisibleTo(&single));
    EXPECT_TRUE(single.FindControl(QStringLiteral("update_status_image"))->isVisibleTo(&single));
}

TEST_F(SettingsWindow, TheComposedStatusLineFollowsALanguageChange) {
    wnd->SetStatus(kStatusUpToDate);
    const QString english = StatusLine();
    ASSERT_TRUE(english.endsWith(QStringLiteral("2024-3-5")));
    ASSERT_TRUE(ui::LanguageTexts::Instance().Load(QStringLiteral("lan_cn.xml")));
    ui::LanguageTexts::Retranslate(wnd.get());
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(wnd.get(), &change);
    EXPECT_EQ(StatusLine(),
              ui::Tr(QStringLiteral("UpdateIsLastText")) + QStringLiteral("2024-3-5"));
    EXPECT_NE(StatusLine(), english);
    EXPECT_EQ(RowAt(0)->findChild<ui::CControlUI*>(QStringLiteral("update_status_text"))->GetText(),
              ui::Tr(QStringLiteral("LessUpdateText")));
    EXPECT_EQ(owner.badgeCleared, 2) << "status 4 shown again";
}

TEST_F(SettingsWindow, ARelayWithoutACurrentRowChangesNothingButClosesTheWindow) {
    for (int code = 1; code <= 4; ++code) {
        SetUp();
        ProgramUpdateProgress().transferState = 7;
        EXPECT_TRUE(wnd->Relay(code, 60)) << code;
        for (CUpdateInfoListItemUI* row : wnd->Rows()) {
            EXPECT_EQ(row->Status(), 0) << code;
            EXPECT_EQ(row->Progress(), 0) << code;
        }
        EXPECT_EQ(ProgramUpdateProgress().transferState, 7) << code;
        EXPECT_FALSE(wnd->isVisible()) << code;
    }
}

TEST_F(SettingsWindow, ItRefusesToCloseWhileAnUpdateRunsButAtRestItCloses) {
    // Rows at rest (status 0) do not hold the window.
    EXPECT_FALSE(wnd->IsUpdateRunning());
    StartUpdateOf(0);
    for (int status : {3, 4, 5, 6}) {
        RowAt(0)->SetStatus(status);
        QTest::mouseClick(Control("closebtn"), Qt::LeftButton);
        EXPECT_TRUE(wnd->isVisible()) << status;
        EXPECT_FALSE(wnd->close()) << "a close asked by the program is swallowed too";
        EXPECT_TRUE(wnd->isVisible()) << status;
    }
    RowAt(0)->SetStatus(7);
    QTest::mouseClick(Control("closebtn"), Qt::LeftButton);
    EXPECT_FALSE(wnd->isVisible());
    EXPECT_EQ(owner.exits, 0);
}

TEST_F(SettingsWindow, TheHintGoesAndLaterClosesAtRest) {
    QWidget* hint = Control("update_tishi_layout");
    ASSERT_TRUE(hint->isVisibleTo(wnd.get()));
    qobject_cast<QPushButton*>(Control("set_in_update_wnd_btn"))->click();
    EXPECT_FALSE(hint->isVisibleTo(wnd.get()));
    EXPECT_EQ(wnd->size(), QSize(630, 500));
    qobject_cast<QPushButton*>(Control("laterbtn"))->click();
    EXPECT_FALSE(wnd->isVisible());
}

TEST_F(SettingsWindow, TheDpiScalesTheWindowAndUnknownDpisFallBackTo96) {
    wnd->SetDpi(144);
    EXPECT_EQ(wnd->Dpi(), 144);
    EXPECT_EQ(wnd->size(), QSize(945, 750));
    EXPECT_DOUBLE_EQ(wnd->ContentScale(), 1.5);
    wnd->SetDpi(100);
    EXPECT_EQ(wnd->Dpi(), 96);
    EXPECT_EQ(wnd->size(), QSize(630, 500));
    wnd->SetDpi(192);
    EXPECT_EQ(wnd->size(), QSize(1260, 1000));
    EXPECT_EQ(RowAt(0)->height(), 88) << "rows scale with the window";
}

}  // namespace
}  // namespace rerov::shell
