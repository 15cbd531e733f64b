// The profile bar of the keyboard page in the main window: its commands with their
// confirmations and messages, the files on disk after each, the coalesced switch of timer
// 1055, the feature tabs and a profile removed behind the program's back.

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <fstream>
#include <map>

#include "controls/control_lookup.h"
#include "controls/control_timers.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "tests/shell/page_editors_fixture.h"

namespace rerov::shell {
namespace {

namespace fs = std::filesystem;

class ProfileBar : public test::PageEditorsTest {
  protected:
    void SetUp() override {
        test::PageEditorsTest::SetUp();
        if (HasFatalFailure()) return;
        Click("profile_fun_spread_btn");  // unfold the commands
        ASSERT_TRUE(bar->IsMenuVisible());
    }

    // The control `name` of the keyboard page (every page has a bar with the same names).
    QWidget* Find(const char* name) const {
        return ui::FindSubControlByName(page, QLatin1String(name));
    }

    void Click(const char* name) {
        QWidget* control = Find(name);
        ASSERT_NE(control, nullptr) << name;
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }

    // Clicks `name` and answers the message box it opens with `button`; the box's text is
    // returned.
    QString ClickAndAnswer(const char* name, const char* button) {
        QString text;
        bool answered = false;
        test::AnswerNextModal(QLatin1String(button), &text, &answered);
        Click(name);
        EXPECT_TRUE(answered) << name << ": no message box";
        return text;
    }

    // Every file of the profile folder with its content.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().filename().string()] =
                std::string(std::istreambuf_iterator<char>(in), {});
        }
        return files;
    }

    QStringList ComboItems() const {
        auto* combo = qobject_cast<QComboBox*>(Find("device_profile_combo"));
        QStringList items;
        for (int i = 0; combo != nullptr && i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }

    int ProfileFileCount() const {
        int count = 0;
        for (const auto& [name, content] : Files()) {
            if (name.size() > 5 && name.substr(name.size() - 5) == ".Json") ++count;
        }
        return count;
    }

    static QString Tr(const char* key) { return ui::Tr(QLatin1String(key)); }
};

TEST_F(ProfileBar, CommandsAskFirstAndTheFilesFollow) {
    EXPECT_EQ(ComboItems(), QStringList{"Profile1"});
    EXPECT_EQ(ProfileFileCount(), 1);

    EXPECT_EQ(ClickAndAnswer("device_add_btn", "confirm_btn"), Tr("message_text_27"));
    EXPECT_EQ(ComboItems(), (QStringList{"Profile1", "profile2"}));
    EXPECT_EQ(ProfileFileCount(), 2);

    EXPECT_EQ(ClickAndAnswer("device_copy_btn", "confirm_btn"), Tr("message_text_26"));
    EXPECT_EQ(ComboItems(), (QStringList{"Profile1", "profile2", "Profile1 copy"}));
    EXPECT_EQ(ProfileFileCount(), 3);

    // Rename the shown profile with the edit and the save button.
    auto* edit = qobject_cast<QLineEdit*>(Find("device_profile_name_edit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("Shooter"));
    Click("device_profile_edit_save_btn");
    EXPECT_EQ(ComboItems().constFirst(), "Shooter");
    const Json::Value renamed = JsonFileIO::ReadJsonFile(bar->CurrentProfilePath());
    EXPECT_EQ(renamed["profilename"].asString(), "Shooter");

    // Refused names: a message, nothing on disk changes.
    const auto before = Files();
    edit->setText(QStringLiteral("   "));
    EXPECT_EQ(ClickAndAnswer("device_profile_edit_save_btn", "confirm_btn"), Tr("message_text_25"));
    edit->setText(QStringLiteral("PROFILE2"));
    EXPECT_EQ(ClickAndAnswer("device_profile_edit_save_btn", "confirm_btn"), Tr("message_text_5"));
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(edit->text(), "PROFILE2") << "the refused name stays to be corrected";

    // A declined delete changes nothing; a confirmed one removes the profile and its file.
    EXPECT_EQ(ClickAndAnswer("device_sub_btn", "cancel_btn"), Tr("message_text_29"));
    EXPECT_EQ(Files(), before);
    const fs::path shown = bar->CurrentProfilePath();
    ClickAndAnswer("device_sub_btn", "confirm_btn");
    EXPECT_FALSE(fs::exists(shown));
    EXPECT_EQ(ComboItems(), (QStringList{"profile2", "Profile1 copy"}));
    EXPECT_EQ(page->Editors()->ProfilePath(), bar->CurrentProfilePath())
        << "the page shows the profile selected after the delete";
}

TEST_F(ProfileBar, DeclinedConfirmationsChangeNothing) {
    const auto before = Files();
    for (const char* command : {"device_add_btn", "device_copy_btn", "device_reset_btn"}) {
        ClickAndAnswer(command, "cancel_btn");
        ClickAndAnswer(command, "closebtn");
    }
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(ComboItems(), QStringList{"Profile1"});
}

TEST_F(ProfileBar, SelectionsBecomeOneSwitchAfterTheLast) {
    bar->AddProfile();
    bar->AddProfile();
    ASSERT_EQ(ComboItems().size(), 3);
    auto* combo = qobject_cast<QComboBox*>(Find("device_profile_combo"));
    const fs::path first = bar->CurrentProfilePath();
    ASSERT_EQ(page->Editors()->ProfilePath(), first);

    combo->setCurrentIndex(1);
    combo->setCurrentIndex(2);
    combo->setCurrentIndex(1);
    ASSERT_TRUE(ui::IsControlTimerArmed(wnd, kTimerProfileSwitch));
    // The timer of the switch runs with the coalescing period.
    bool periodSeen = false;
    for (const QTimer* timer : wnd->findChildren<QTimer*>()) {
        if (timer->isActive() && timer->interval() == kProfileSwitchDelayMs) periodSeen = true;
    }
    EXPECT_TRUE(periodSeen);
    EXPECT_EQ(kProfileSwitchDelayMs, 400);
    EXPECT_EQ(page->Editors()->ProfilePath(), first) << "nothing switched before the timer";
    EXPECT_EQ(bar->Store()->Selected(), 0);

    ASSERT_SOON(!ui::IsControlTimerArmed(wnd, kTimerProfileSwitch));
    EXPECT_EQ(bar->Store()->Selected(), 1) << "the last selection";
    EXPECT_EQ(page->Editors()->ProfilePath(), bar->GetProfileFilePath(1));
    const Json::Value list = JsonFileIO::ReadJsonFile(Folder() / "ProfileList.ini");
    EXPECT_EQ(list["profileselect"].asInt(), 1);
}

TEST_F(ProfileBar, AFileThatIsNoProfileIsRefusedWithAMessage) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString notProfile = outside.filePath("notes.json");
    {
        QFile file(notProfile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_GT(file.write("[1, 2, 3]\n"), 0);
    }
    const auto before = Files();
    QString message;
    bool dialogSeen = false;
    test::OnNextModal(nullptr, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        EXPECT_TRUE(dialog->nameFilters().contains("Profile Files(*.json)"));
        test::OnNextModal(dialog, [&](QWidget*) {
            test::AnswerNextModal(QStringLiteral("confirm_btn"), &message, nullptr);
        });
        dialog->selectFile(notProfile);
        static_cast<QDialog*>(dialog)->accept();
    });
    Click("device_import_btn");
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(message, Tr("profile_msg_import_invalid"));
    EXPECT_NE(message, "profile_msg_import_invalid") << "the message has a text";
    EXPECT_EQ(Files(), before);

    // A cancelled dialog does nothing at all.
    test::OnNextModal(nullptr, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Click("device_import_btn");
    EXPECT_EQ(Files(), before);
}

TEST_F(ProfileBar, ImportAndExportGoThroughTheDialogs) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString exported = outside.filePath("Game");  // the dialog adds ".json"
    test::OnNextModal(nullptr, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(exported);
        static_cast<QDialog*>(dialog)->accept();
    });
    Click("device_export_btn");
    ASSERT_TRUE(QFile::exists(exported + ".json"));

    test::OnNextModal(nullptr, [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(exported + ".json");
        static_cast<QDialog*>(dialog)->accept();
    });
    Click("device_import_btn");
    EXPECT_EQ(ComboItems(), (QStringList{"Profile1", "Game"}));
    EXPECT_EQ(ProfileFileCount(), 2);
}

TEST_F(ProfileBar, FeatureTabsSwitchThePageAndShowByKind) {
    Click("key_Op_tab");
    EXPECT_EQ(bar->SelectedFeatureTab(), 2);
    EXPECT_EQ(page->Device().FunctionTab(), 2);
    auto* keySwitch = qobject_cast<ui::CTabLayoutUI*>(Find("device_key_function_switch"));
    ASSERT_NE(keySwitch, nullptr);
    EXPECT_EQ(keySwitch->GetCurSel(), 1) << "the key editor's place";
    Click("deng_Op_tab");
    EXPECT_EQ(keySwitch->GetCurSel(), 0);
    EXPECT_EQ(bar->SelectedFeatureTab(), 1);

    // Visibility by kind: the keyboard has no pointer tab, the mouse has; neither has the
    // headset's three.
    const auto tabShown = [](profile_bar::CDeviceProfileUI* b, const char* name) {
        QWidget* tab = ui::FindSubControlByName(b, QLatin1String(name));
        return tab != nullptr && !tab->isHidden();
    };
    EXPECT_FALSE(tabShown(bar, "cursor_Op_tab"));
    EXPECT_TRUE(tabShown(bar, "macro_Op_tab"));
    profile_bar::CDeviceProfileUI* mouseBar =
        wnd->PageOfFamily(kFamilyMouse)->Editors()->ProfileBar();
    ASSERT_NE(mouseBar, nullptr);
    EXPECT_TRUE(tabShown(mouseBar, "cursor_Op_tab"));
    EXPECT_FALSE(tabShown(mouseBar, "magic_Op_tab"));
    profile_bar::CDeviceProfileUI* padBar =
        wnd->PageOfFamily(kFamilyMousePad)->Editors()->ProfileBar();
    if (padBar != nullptr) {
        EXPECT_FALSE(tabShown(padBar, "key_Op_tab"));
        EXPECT_TRUE(tabShown(padBar, "deng_Op_tab"));
    }
}

TEST_F(ProfileBar, AProfileRemovedBehindTheProgramsBackIsFollowed) {
    bar->AddProfile();
    ASSERT_EQ(ComboItems().size(), 2);
    // Another program deletes the shown profile.
    ProfileStore other(1, Folder(), page->Device().DefaultProfilePath());
    ASSERT_EQ(other.Build(), StoreResult::Ok);
    ASSERT_EQ(other.Select(0), StoreResult::Ok);
    ASSERT_EQ(other.Delete(), StoreResult::Ok);
    ASSERT_SOON(ComboItems().size() == 1);
    EXPECT_EQ(ComboItems(), QStringList{"profile2"});
    EXPECT_SOON(page->Editors()->ProfilePath() == bar->CurrentProfilePath());
    EXPECT_TRUE(fs::exists(bar->CurrentProfilePath()));
}

}  // namespace
}  // namespace rerov::shell
