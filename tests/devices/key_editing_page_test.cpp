// The key and macro editors on the keyboard page, without the window: the editors are built
// into their places, the keyboard is offered no DPI or gun-key function, and a key typed
// into the key field while it has the focus is stored for the selected key in the profile
// file, with the modifier chosen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/notify_bridge.h"
#include "devices/pages/keyboard_key_editing.h"
#include "devices/pages/keyboard_macro_editing.h"
#include "editors/widgets/key_set_control.h"
#include "editors/widgets/macro_control.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"
#include "tests/devices/family_page_support.h"
#include "tests/support/scoped_environment.h"

namespace rerov {
namespace {

class DevicePageKeyEditing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data_.isValid());
        dataHome_.emplace("XDG_DATA_HOME", data_.path().toLocal8Bit());
        page_ = testing::BuildFamilyPage(kFamilyKeyboard);
        // The page hears its controls through the bridge of the window it sits in.
        bridge_ = std::make_unique<ui::NotifyBridge>(page_.get());
        bridge_->Attach(page_.get());
        page_->RegisterNotifier();
        testing::LayOut(*page_, QSize(1000, 519));
    }
    void TearDown() override {
        bridge_.reset();
        page_.reset();
        dataHome_.reset();
    }
    std::vector<KeyEntry> StoredKeys() {
        ProfileStore store(1, ProfileFolder(kFamilyNameKeyboard),
                           DefaultProfilePath(kFamilyNameKeyboard));
        EXPECT_EQ(store.Build(), StoreResult::Ok);
        CKeyboardProfiledata data;
        data.SetDefaultPath(DefaultProfilePath(kFamilyNameKeyboard));
        data.LoadProfile(store.CurrentProfilePath());
        return data.ReadKeyList();
    }

    QTemporaryDir data_;
    std::optional<test::ScopedEnvironment> dataHome_;
    std::unique_ptr<CDevicePageUI> page_;
    std::unique_ptr<ui::NotifyBridge> bridge_;
};

TEST_F(DevicePageKeyEditing, BothEditorsSitInTheirPlaces) {
    KeyboardKeyEditing* keys = KeyboardKeyEditing::Of(*page_);
    ASSERT_NE(keys, nullptr);
    ASSERT_NE(KeyboardMacroEditing::Of(*page_), nullptr);
    auto* functions =
        ui::FindSubControl<QComboBox>(page_.get(), QStringLiteral("keyset_function_combo"));
    ASSERT_NE(functions, nullptr);
    EXPECT_EQ(functions->count(), 10);
    for (int i = 0; i < functions->count(); ++i) {
        const int category = functions->itemData(i).toString().toInt();
        EXPECT_NE(category, 4) << "no DPI function on a keyboard";
        EXPECT_NE(category, 10) << "no shooting pattern on a keyboard";
    }
    auto* media = ui::FindSubControl<QComboBox>(page_.get(), QStringLiteral("keyset_media_combo"));
    ASSERT_NE(media, nullptr);
    EXPECT_EQ(media->count(), 18) << "one item per media key row";
}

TEST_F(DevicePageKeyEditing, AKeyTypedInTheKeyFieldIsStoredWithItsModifier) {
    KeyboardKeyEditing* keys = KeyboardKeyEditing::Of(*page_);
    ASSERT_NE(keys, nullptr);
    constexpr int kKey = 30;
    keys->SelectKey(kKey);
    auto* functions =
        ui::FindSubControl<QComboBox>(page_.get(), QStringLiteral("keyset_function_combo"));
    const int keyboardItem = functions->findData(QStringLiteral("6"));
    ASSERT_GE(keyboardItem, 0);
    functions->setCurrentIndex(keyboardItem);  // as the user chooses it
    ui::FindSubControl<QRadioButton>(page_.get(), QStringLiteral("key_ComBox_check_2"))->click();

    QLineEdit* field = keys->Editor()->KeyTextEdit();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(field, &focusIn);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(field, &press);

    EXPECT_EQ(field->text(), ui::Tr(QStringLiteral("keyboard_key_A")));
    EXPECT_EQ(StoredKeys().at(kKey).current.Packed(), 0x200204u) << "Shift + A";

    // Once the field has lost the focus, keys are no longer taken.
    QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(field, &focusOut);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(field, &other);
    EXPECT_EQ(StoredKeys().at(kKey).current.Packed(), 0x200204u);

    // Restore default gives the key its factory function back in the file.
    ui::FindSubControl<QAbstractButton>(page_.get(), QStringLiteral("key_butt_keydefalut"))
        ->click();
    const KeyEntry restored = StoredKeys().at(kKey);
    EXPECT_EQ(restored.current.Packed(), restored.defaults.Packed());
}

// The macro editor widget on its own, with a clock the test moves.
TEST(DevicePageMacroEditor, RecordingOnAnInjectedClockSavesTheGapsAndTheStepLimitHolds) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    qint64 now = 1000;
    editors::CMacroControlUI editor(nullptr, [&now] { return now; });
    QString error;
    ASSERT_TRUE(editor.Build(&error)) << error.toStdString();
    editor.SetFolder(folder.path().toStdString());
    ASSERT_EQ(editor.AddMacro(), editors::MacroResult::Ok);
    ASSERT_EQ(editor.SelectedIndex(), 0);

    editor.StartRecording(editors::RecordMode::Measured, editors::InsertMode::Append);
    now = 1010;
    editor.RecordKey(editors::InsertMode::Append, 0x1E, false, true);  // A
    now = 1310;
    editor.RecordKey(editors::InsertMode::Append, 0x30, false, true);  // B
    // A left click on the stop button is not recorded.
    const QPoint stop = ui::FindSubControl<QWidget>(&editor, QStringLiteral("macro_btn_stopredio"))
                            ->mapToGlobal(QPoint(2, 2));
    editor.RecordMouse(editors::InsertMode::Append, editors::kMsgLeftDown, 0, stop.x(), stop.y());
    editor.StopRecording();

    const std::vector<editors::MacroEvent> steps = editor.Library().ReadSteps(0);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].delay, 300);
    EXPECT_EQ(steps[1].delay, 0);
    EXPECT_FALSE(editor.IsRecording());

    // A full list takes no recorded step; the file keeps the 4000.
    editor.Recorder().SetSteps(std::vector<editors::MacroEvent>(
        editors::kMaxMacroSteps, editors::MacroEvent{editors::kStepKey, 4, true, 0}));
    editor.StartRecording(editors::RecordMode::NoDelay, editors::InsertMode::Append);
    editor.RecordKey(editors::InsertMode::Append, 0x2E, false, true);
    editor.StopRecording();
    EXPECT_EQ(editor.Library().ReadSteps(0).size(),
              static_cast<std::size_t>(editors::kMaxMacroSteps));
}

}  // namespace
}  // namespace rerov
