#include "devices/pages/keyboard_key_editing.h"

#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QRect>
#include <QVariant>
#include <algorithm>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_page.h"
#include "editors/assignment/code_tables.h"
#include "editors/macro/macro_assignments.h"
#include "editors/macro/macro_library.h"
#include "editors/widgets/key_set_control.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/profile_folders.h"
#include "profiles/profile_store.h"

namespace rerov {

namespace {

constexpr const char* kEditorPlace = "key_editor_place";
constexpr const char* kEditingProperty = "rerov_key_editing";
// The key editor is tab 1 of the key functions, which are tab 0 of the page's functions.
constexpr int kKeyFunctionsTab = 0;
constexpr int kKeyEditorTab = 1;
// The macro editor is tab 1 of the page's functions.
constexpr int kMacroEditorTab = 1;

// Combos whose every selection applies the entry at once.
constexpr const char* kApplyingCombos[] = {
    "keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo",
    "keyset_mousedpi_combo", "keyset_media_combo",      "keyset_system_combo",
    "keyset_macro_combo",    "keyset_gunkey_combo",     "keyset_combokey_combo",
};
// Edits whose leaving applies the entry.
constexpr const char* kApplyingEdits[] = {
    "keyset_mouseswing_num_edit",     "keyset_mouseswing_delay_edit",
    "keyset_mouseswing_speed_edit",   "keyset_mousewheel_num_edit",
    "keyset_mousewheel_delay_edit",   "keyset_mousewheel_speed_edit",
    "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit",
    "keyset_macro_cycle_edit",
};

// "key_<digits>": the key's number; -1 for any other name that starts with "key_".
int KeyNumberOf(const QString& name) {
    static const QString prefix = QStringLiteral("key_");
    if (!name.startsWith(prefix)) return -1;
    const QString digits = name.mid(prefix.size());
    if (digits.isEmpty()) return -1;
    for (const QChar c : digits) {
        if (!c.isDigit()) return -1;
    }
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    return ok ? number : -1;
}

// The factory name of a key: the keyboard row that equals its default assignment.
QString DefaultKeyName(const KeyAssignment& defaults) {
    for (const editors::CodeRow& row : editors::KeyCodeTable()) {
        if (row.type == defaults.type && row.value == defaults.value && row.code == defaults.code) {
            return ui::Tr(QString::fromLatin1(row.nameKey));
        }
    }
    return {};
}

}  // namespace

KeyboardKeyEditing::KeyboardKeyEditing(CDevicePageUI& page, CZidiraKeyboardDevice& keyboard,
                                       editors::CKeySetControlUI* editor)
    : QObject(&page), page_(page), keyboard_(keyboard), editor_(editor) {
    page_.setProperty(kEditingProperty, QVariant::fromValue<QObject*>(this));
}

KeyboardKeyEditing* KeyboardKeyEditing::Attach(CDevicePageUI& page) {
    auto* keyboard = dynamic_cast<CZidiraKeyboardDevice*>(&page.Device());
    if (keyboard == nullptr) return nullptr;
    auto* place = ui::FindSubControl<QWidget>(&page, QString::fromLatin1(kEditorPlace));
    if (place == nullptr || place->layout() == nullptr) return nullptr;
    auto* editor = new editors::CKeySetControlUI(place);
    QString error;
    if (!editor->Build(&error)) {
        qCWarning(lcDevicePage) << "key editor not built:" << error;
        delete editor;
        return nullptr;
    }
    place->layout()->addWidget(editor);
    editor->SetDeviceKind(editors::kKindKeyboard);
    auto* editing = new KeyboardKeyEditing(page, *keyboard, editor);
    editing->ReloadMacroNames();
    editing->SetUpRoutes();
    editing->UpdateCaptureNote();
    connect(editor, &editors::CKeySetControlUI::keyTextFocusChanged, editing,
            [editing](bool focused) {
                if (focused) {
                    editing->StartCapture();
                } else {
                    editing->StopCapture();
                }
            });
    connect(editor, &editors::CKeySetControlUI::keyPressedInWindow, editing,
            [editing](int scanCode, bool extended) {
                // With a desktop-wide source running, the same press arrives from it.
                if (editing->capturing_ && !editing->sourceCapturing_) {
                    editing->OnCapturedKey({static_cast<std::uint8_t>(scanCode), extended});
                }
            });
    return editing;
}

KeyboardKeyEditing* KeyboardKeyEditing::Of(CDevicePageUI& page) {
    return qobject_cast<KeyboardKeyEditing*>(page.property(kEditingProperty).value<QObject*>());
}

void KeyboardKeyEditing::SetCaptureSource(KeyCaptureSource* source) {
    StopCapture();
    source_ = source;
    UpdateCaptureNote();
}

void KeyboardKeyEditing::UpdateCaptureNote() {
    const bool inWindow = source_ == nullptr || source_->CapturesInWindowOnly();
    const QString description = source_ != nullptr ? source_->CaptureDescription()
                                                   : ui::Tr(QStringLiteral("capture_in_window"));
    // A language without the tip's text shows its key; the description still follows.
    QString tip = ui::Tr(QStringLiteral("capture_tip"));
    tip = tip.contains(QLatin1String("%1")) ? tip.arg(description) : tip + u' ' + description;
    editor_->SetCaptureNote(inWindow ? ui::Tr(QStringLiteral("keyset_capture_note")) : QString(),
                            tip);
}

void KeyboardKeyEditing::SetUpRoutes() {
    ui::NotifyPump& pump = page_.Pump();
    using ui::Notification;
    pump.OnPrefix(ui::notify_type::kClick, QStringLiteral("key_"), [this](const Notification& msg) {
        const int key = KeyNumberOf(msg.SenderName());
        if (key < 0) return;
        // In the custom lighting mode a click on the lighting tab paints the key.
        if (PaintCustomKeys(page_, {key})) return;
        SelectKey(key);
    });
    pump.On(ui::notify_type::kItemSelect, QStringLiteral("keyset_function_combo"),
            [this](const Notification&) {
                editor_->OnCategoryChosen();
                ApplyKeyEntry();
            });
    pump.On(ui::notify_type::kItemSelect, QStringLiteral("keyset_macro_over_combo"),
            [this](const Notification&) {
                editor_->OnRunModeChosen();
                ApplyKeyEntry();
            });
    for (const char* name : kApplyingCombos) {
        pump.On(ui::notify_type::kItemSelect, QString::fromLatin1(name),
                [this](const Notification&) { ApplyKeyEntry(); });
    }
    for (const char* name : kApplyingEdits) {
        pump.On(ui::notify_type::kKillFocus, QString::fromLatin1(name),
                [this](const Notification&) { ApplyKeyEntry(); });
        pump.On(ui::notify_type::kReturn, QString::fromLatin1(name),
                [this](const Notification&) { ApplyKeyEntry(); });
    }
    pump.OnPrefix(
        ui::notify_type::kSelectChanged, QStringLiteral("key_ComBox_check_"),
        [this](const Notification& msg) {
            bool ok = false;
            const int n =
                msg.SenderName().mid(QStringLiteral("key_ComBox_check_").size()).toInt(&ok, 10);
            if (!ok) return;
            editor_->OnModifierOptionChosen(n);
            ApplyKeyEntry();
        });
    pump.On(ui::notify_type::kClick, QStringLiteral("keyset_macro_edit_btn"),
            [this](const Notification&) { page_.SelectTab(kFunctionSwitchName, kMacroEditorTab); });
    pump.On(ui::notify_type::kClick, QStringLiteral("key_butt_keysave"),
            [this](const Notification&) {
                ApplyKeyEntry();
                editor_->SetEditButtonsEnabled(false);
            });
    pump.On(ui::notify_type::kClick, QStringLiteral("key_butt_keydefalut"),
            [this](const Notification&) {
                editor_->ShowDefault();
                if (StoreKeyEntry()) {
                    Report(keyboard_.LastSaveSucceeded() ? keyboard_.DownloadAll()
                                                         : DownloadReport{-1, 1});
                }
                editor_->SetEditButtonsEnabled(false);
            });
    pump.On(ui::notify_type::kClick, QStringLiteral("key_butt_keycancel"),
            [this](const Notification&) {
                editor_->ShowCurrent();
                editor_->SetEditButtonsEnabled(false);
            });
    pump.On(ui::notify_type::kClick, QStringLiteral("key_butt_prosave"),
            [this](const Notification&) {
                Report(SaveAndDownloadAll());
                editor_->SetEditButtonsEnabled(false);
            });
}

CZidiraKeyboardDevice& KeyboardKeyEditing::Keyboard() const { return keyboard_; }

std::vector<KeyEntry> KeyboardKeyEditing::Keys() const { return keyboard_.KeyList(); }

bool KeyboardKeyEditing::SaveKeyList() {
    // The object reads the file again first: the lighting and macro editors save their own
    // parts of the same profile.
    keyboard_.SetKeyList(keyboard_.KeyList());
    if (!keyboard_.LastSaveSucceeded()) qCWarning(lcDevicePage) << "the key list was not saved";
    return keyboard_.LastSaveSucceeded();
}

void KeyboardKeyEditing::Report(const DownloadReport& report) {
    if (!report.Failed() && report.report == 0 && report.link > 0) keyboard_.RefreshKeyMarks();
    emit downloaded(report);
}

DownloadReport KeyboardKeyEditing::SaveAndDownloadAll() {
    if (!SaveKeyList()) return DownloadReport{-1, 1};
    return keyboard_.DownloadAll();
}

void KeyboardKeyEditing::ReloadMacroNames() {
    editors::MacroLibrary library(ProfileFolder(page_.Device().FamilyName()));
    QStringList names;
    for (const std::string& name : library.Names()) names << QString::fromStdString(name);
    editor_->FillMacroList(names);
}

bool KeyboardKeyEditing::ProfileUsesMacro(int index) {
    return editors::UsesMacro(keyboard_.KeyList(), index);
}

void KeyboardKeyEditing::ShowSelectedKeyAgain() {
    const int key = page_.Device().SelectedKey();
    if (key >= 0) {
        SelectKey(key);
    } else {
        ReloadMacroNames();
    }
}

void KeyboardKeyEditing::ReloadKeys() {
    // Another part changed the profile file (macros were renumbered): the object takes it.
    keyboard_.ApplyProfile();
    keyboard_.RefreshKeyLabels();
    ShowSelectedKeyAgain();
}

void KeyboardKeyEditing::RefreshKeyLabels() {
    keyboard_.RefreshKeyLabels();
    ShowSelectedKeyAgain();
}

void KeyboardKeyEditing::DownloadIfMacroUsed(int index) {
    const std::vector<int> used = keyboard_.UsedMacros();
    if (std::find(used.begin(), used.end(), index) == used.end()) return;
    Report(keyboard_.DownloadKeysAndMacros());
}

bool KeyboardKeyEditing::event(QEvent* event) {
    // A language change, handed on by the page: the texts composed here follow; the
    // editor's fields (perhaps half edited) stay as they are.
    if (event->type() == QEvent::LanguageChange) {
        UpdateCaptureNote();
        const int key = page_.Device().SelectedKey();
        const std::vector<KeyEntry> keys = keyboard_.KeyList();
        if (key >= 0 && static_cast<std::size_t>(key) < keys.size()) {
            editor_->SetKeyName(DefaultKeyName(keys[static_cast<std::size_t>(key)].defaults));
        }
    }
    return QObject::event(event);
}

void KeyboardKeyEditing::SelectKey(int key) {
    StopCapture();
    keyboard_.SelectKey(key);
    page_.SelectTab(kFunctionSwitchName, kKeyFunctionsTab);
    page_.SelectTab(kKeyFunctionSwitchName, kKeyEditorTab);
    ReloadMacroNames();
    const std::vector<KeyEntry> keys = keyboard_.KeyList();
    if (key < 0 || static_cast<std::size_t>(key) >= keys.size()) {
        // A key the profile does not list cannot be given a function.
        editor_->SetBodyVisible(false);
        return;
    }
    const KeyEntry& entry = keys[static_cast<std::size_t>(key)];
    editor_->SetKeyName(DefaultKeyName(entry.defaults));
    editor_->SetKeyEntry(entry.current, entry.defaults);
    editor_->SetEditButtonsEnabled(false);
}

bool KeyboardKeyEditing::StoreKeyEntry() {
    // The object saves the key list in the profile file and labels the keys again.
    return keyboard_.SetSelectedKeyEntry(editor_->ComposeAssignment());
}

void KeyboardKeyEditing::ApplyKeyEntry() {
    if (!StoreKeyEntry()) return;
    editor_->SetEditButtonsEnabled(true);
    if (!keyboard_.LastSaveSucceeded()) {
        Report(DownloadReport{-1, 1});
        return;
    }
    Report(keyboard_.DownloadKeysAndMacros());
}

void KeyboardKeyEditing::StartCapture() {
    if (capturing_) return;
    capturing_ = true;
    qCDebug(lcDevicePage) << "key capture starts";
    if (source_ != nullptr) {
        QPointer<KeyboardKeyEditing> self(this);
        sourceCapturing_ = source_->StartKeyCapture(
            [self](input_hook::ScanKey key) {
                if (self) self->OnCapturedKey(key);
            },
            [self](int x, int y) {
                if (self) self->OnPressDuringCapture(x, y);
            });
        qCDebug(lcDevicePage) << "desktop capture" << sourceCapturing_;
    }
}

void KeyboardKeyEditing::StopCapture() {
    if (!capturing_) return;
    capturing_ = false;
    qCDebug(lcDevicePage) << "key capture ends";
    if (sourceCapturing_ && source_ != nullptr) source_->StopKeyCapture();
    sourceCapturing_ = false;
}

void KeyboardKeyEditing::OnPressDuringCapture(int x, int y) {
    // A click anywhere but on the key text ends the capture: the desktop gets its keyboard
    // back even when the click went to another program.
    QLineEdit* edit = editor_->KeyTextEdit();
    const QRect area(edit->mapToGlobal(QPoint(0, 0)), edit->size());
    if (area.contains(x, y)) return;
    StopCapture();
    edit->clearFocus();
}

void KeyboardKeyEditing::OnCapturedKey(input_hook::ScanKey key) {
    qCDebug(lcDevicePage) << "captured key" << key.scanCode << key.extended << capturing_;
    if (!capturing_) return;
    if (editor_->CaptureKey(key)) ApplyKeyEntry();
}

}  // namespace rerov
