#include "devices/pages/keyboard_macro_editing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QVariant>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_key_editing.h"
#include "editors/macro/macro_assignments.h"
#include "editors/macro/macro_event.h"
#include "editors/widgets/macro_control.h"
#include "profiles/profile_folders.h"

namespace rerov {

namespace {

constexpr const char* kEditorPlace = "macro_editor_place";
constexpr const char* kEditingProperty = "rerov_macro_editing";
constexpr const char* kMacroFileFilter = "Macro Files(*.mac)";

struct RowOperation {
    const char* button;
    const char* operation;
};
constexpr RowOperation kRowOperations[] = {
    {"macro_btn_up", "up"},         {"macro_btn_down", "down"},
    {"macro_btn_uptop", "top"},     {"macro_btn_downbottom", "bottom"},
    {"macro_btn_delete", "delete"}, {"macro_btn_deleteall", "deleteall"},
};

struct MoveButton {
    const char* button;
    int row;  // MacroEventTable row
};
constexpr MoveButton kMoveButtons[] = {
    {"macro_inset_moveleftkey_btn", editors::kRowMoveLeft},
    {"macro_inset_moverightkey_btn", editors::kRowMoveRight},
    {"macro_inset_moveupkey_btn", editors::kRowMoveUp},
    {"macro_inset_movedownkey_btn", editors::kRowMoveDown},
};

// Mouse steps of the action menu: the down and up rows of MacroEventTable per button.
struct MenuButton {
    const char* prefix;
    int downRow;
};
constexpr MenuButton kMenuButtons[] = {
    {"left", 0}, {"right", 2}, {"middle", 4}, {"forward", 6}, {"back", 8},
};

std::optional<input_hook::ScanKey> ScanKeyOfEvent(const QKeyEvent* key) {
    if (key->nativeScanCode() > static_cast<quint32>(input_hook::kX11KeycodeOffset) &&
        QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto scan = input_hook::ScanKeyOfEvdev(static_cast<int>(key->nativeScanCode()) -
                                                   input_hook::kX11KeycodeOffset)) {
            return scan;
        }
    }
    return input_hook::ScanKeyOfQtKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
}

int MouseMessageOf(const QMouseEvent* mouse, bool down, int* extra) {
    *extra = 0;
    switch (mouse->button()) {
        case Qt::LeftButton:
            return down ? editors::kMsgLeftDown : editors::kMsgLeftUp;
        case Qt::RightButton:
            return down ? editors::kMsgRightDown : editors::kMsgRightUp;
        case Qt::MiddleButton:
            return down ? editors::kMsgMiddleDown : editors::kMsgMiddleUp;
        case Qt::BackButton:
            *extra = editors::kExtraButtonBack;
            return down ? editors::kMsgExtraDown : editors::kMsgExtraUp;
        case Qt::ForwardButton:
            *extra = editors::kExtraButtonForward;
            return down ? editors::kMsgExtraDown : editors::kMsgExtraUp;
        default:
            return 0;
    }
}

}  // namespace

KeyboardMacroEditing::KeyboardMacroEditing(CDevicePageUI& page, editors::CMacroControlUI* editor)
    : QObject(&page), page_(page), editor_(editor) {
    page_.setProperty(kEditingProperty, QVariant::fromValue<QObject*>(this));
}

KeyboardMacroEditing::~KeyboardMacroEditing() {
    if (windowRecording_) qApp->removeEventFilter(this);
}

KeyboardMacroEditing* KeyboardMacroEditing::Attach(CDevicePageUI& page) {
    auto* place = ui::FindSubControl<QWidget>(&page, QString::fromLatin1(kEditorPlace));
    if (place == nullptr || place->layout() == nullptr) return nullptr;
    auto* editor = new editors::CMacroControlUI(place);
    QString error;
    if (!editor->Build(&error)) {
        qCWarning(lcDevicePage) << "macro editor not built:" << error;
        delete editor;
        return nullptr;
    }
    place->layout()->addWidget(editor);
    editor->SetFolder(ProfileFolder(page.Device().FamilyName()));
    auto* editing = new KeyboardMacroEditing(page, editor);
    editing->SetUpRoutes();
    connect(editor, &editors::CMacroControlUI::actionMenuChosen, editing,
            [editing](const QString& item) { editing->OnMenu(item); });
    connect(editor, &editors::CMacroControlUI::namesChanged, editing,
            [editing] { editing->NamesChanged(); });
    return editing;
}

KeyboardMacroEditing* KeyboardMacroEditing::Of(CDevicePageUI& page) {
    return qobject_cast<KeyboardMacroEditing*>(page.property(kEditingProperty).value<QObject*>());
}

bool KeyboardMacroEditing::Confirm(const char* key) {
    // Without a window to ask in, nothing is changed that the user did not see.
    return prompts_.confirm && prompts_.confirm(QString::fromLatin1(key));
}

void KeyboardMacroEditing::Notice(const char* key) {
    if (prompts_.notice) prompts_.notice(QString::fromLatin1(key));
}

void KeyboardMacroEditing::NamesChanged() {
    if (auto* keys = KeyboardKeyEditing::Of(page_)) keys->ReloadMacroNames();
}

void KeyboardMacroEditing::SetUpRoutes() {
    ui::NotifyPump& pump = page_.Pump();
    using ui::Notification;
    const auto click = [&pump](const char* name, std::function<void()> action) {
        pump.On(ui::notify_type::kClick, QString::fromLatin1(name),
                [action](const Notification&) { action(); });
    };
    click("macro_btn_name_add", [this] {
        if (!Confirm("message_text_28")) return;
        if (editor_->AddMacro() == editors::MacroResult::ListFull) Notice("macro_list_full");
    });
    click("macro_btn_name_edit", [this] {
        const editors::MacroResult result = editor_->RenameMacro();
        if (result == editors::MacroResult::NameTaken) Notice("macro_name_taken");
        if (result == editors::MacroResult::Ok) {
            if (auto* keys = KeyboardKeyEditing::Of(page_)) keys->RefreshKeyLabels();
        }
    });
    click("macro_btn_name_sub", [this] { DeleteSelectedMacro(); });
    click("macro_btn_import", [this] {
        const QString path =
            QFileDialog::getOpenFileName(&page_, ui::Tr(QStringLiteral("macro_import")), QString(),
                                         QString::fromLatin1(kMacroFileFilter));
        if (path.isEmpty()) return;
        const editors::MacroResult result = editor_->ImportMacro(path);
        if (result == editors::MacroResult::NotAMacroFile) Notice("macro_import_refused");
        if (result == editors::MacroResult::ListFull) Notice("macro_list_full");
    });
    click("macro_btn_export", [this] {
        if (editor_->SelectedIndex() < 0) return;
        const QString path = QFileDialog::getSaveFileName(
            &page_, ui::Tr(QStringLiteral("macro_export")),
            editor_->Names().value(editor_->SelectedIndex()) + QStringLiteral(".mac"),
            QString::fromLatin1(kMacroFileFilter));
        if (path.isEmpty()) return;
        if (editor_->ExportMacro(path) != editors::MacroResult::Ok) Notice("macro_export_failed");
    });
    pump.On(ui::notify_type::kItemSelect, QStringLiteral("macro_name_list"),
            [this](const Notification&) { editor_->LoadMacro(); });
    click("macro_btn_save", [this] {
        editor_->SaveMacro();
        MacroChanged();
    });
    click("macro_btn_cancel", [this] { editor_->LoadMacro(); });
    click("macro_btn_starredio", [this] { StartRecording(editors::InsertMode::Append); });
    click("macro_btn_stopredio", [this] {
        StopRecording();
        MacroChanged();
    });
    for (const RowOperation& row : kRowOperations) {
        const QString operation = QString::fromLatin1(row.operation);
        click(row.button, [this, operation] {
            editor_->RowOperation(operation);
            MacroChanged();
        });
    }
    for (const MoveButton& move : kMoveButtons) {
        const int stepRow = move.row;
        click(move.button, [this, stepRow] {
            editor_->InsertMouseRow(stepRow);
            MacroChanged();
        });
    }
    pump.On(ui::notify_type::kKillFocus, QStringLiteral("macro_fixed_time_edit"),
            [this](const Notification&) { editor_->TakeFixedDelay(); });
}

void KeyboardMacroEditing::OnMenu(const QString& item) {
    using editors::InsertMode;
    using editors::RecordMode;
    const auto record = [this](InsertMode insert, const QString& timing) {
        if (timing == QLatin1String("record")) StartRecording(insert);
        if (timing == QLatin1String("constant")) StartRecording(insert, RecordMode::Constant);
        if (timing == QLatin1String("ignore")) StartRecording(insert, RecordMode::NoDelay);
    };
    if (item.startsWith(QLatin1String("redio_previous_"))) {
        record(InsertMode::Before, item.section(u'_', 2, 2));
        return;
    }
    if (item.startsWith(QLatin1String("redio_later_"))) {
        record(InsertMode::After, item.section(u'_', 2, 2));
        return;
    }
    if (item == QLatin1String("macro_action_edit")) {
        StartRecording(InsertMode::Replace, RecordMode::NoDelay);
        return;
    }
    for (const MenuButton& button : kMenuButtons) {
        const QString prefix = QString::fromLatin1(button.prefix);
        if (item == prefix + QLatin1String("_down")) editor_->InsertMouseRow(button.downRow);
        if (item == prefix + QLatin1String("_up")) editor_->InsertMouseRow(button.downRow + 1);
        if (item == prefix + QLatin1String("_click")) {
            editor_->InsertMouseRow(button.downRow);
            editor_->InsertMouseRow(button.downRow + 1);
        }
    }
}

void KeyboardMacroEditing::StartRecording(editors::InsertMode insert,
                                          std::optional<editors::RecordMode> mode) {
    if (editor_->IsRecording() || editor_->SelectedIndex() < 0) return;
    auto* constant =
        ui::FindSubControl<QAbstractButton>(editor_, QStringLiteral("macro_check_time"));
    const editors::RecordMode timing =
        mode.value_or(constant != nullptr && constant->isChecked() ? editors::RecordMode::Constant
                                                                   : editors::RecordMode::Measured);
    insert_ = insert;
    editor_->StartRecording(timing, insert);
    if (source_ != nullptr) {
        QPointer<editors::CMacroControlUI> editor(editor_);
        sourceRecording_ = source_->StartRecordCapture(
            insert,
            [editor, insert](input_hook::ScanKey key, bool down) {
                if (editor) editor->RecordKey(insert, key.scanCode, key.extended, down);
            },
            [editor, insert](int message, int extra, int x, int y) {
                if (editor) editor->RecordMouse(insert, message, extra, x, y);
            });
    }
    qCDebug(lcDevicePage) << "recording starts, desktop-wide:" << sourceRecording_;
    if (!sourceRecording_) {
        // Only what reaches the program's own window can be recorded.
        windowRecording_ = true;
        qApp->installEventFilter(this);
    }
}

void KeyboardMacroEditing::MacroChanged() {
    // A macro that a key runs lives in the device too.
    if (auto* keys = KeyboardKeyEditing::Of(page_))
        keys->DownloadIfMacroUsed(editor_->SelectedIndex());
}

void KeyboardMacroEditing::StopRecording() {
    if (sourceRecording_ && source_ != nullptr) source_->StopRecordCapture();
    sourceRecording_ = false;
    if (windowRecording_) qApp->removeEventFilter(this);
    windowRecording_ = false;
    editor_->StopRecording();
}

bool KeyboardMacroEditing::eventFilter(QObject* watched, QEvent* event) {
    if (!windowRecording_ || !watched->isWidgetType()) return QObject::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Every widget on the way sees the event: only the first delivery counts.
        if (key->isAutoRepeat() || watched != QApplication::focusWidget()) return false;
        if (auto scan = ScanKeyOfEvent(key)) {
            editor_->RecordKey(insert_, scan->scanCode, scan->extended, type == QEvent::KeyPress);
        }
        return true;  // keys do not type into the window while it records
    }
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched != QApplication::widgetAt(mouse->globalPosition().toPoint())) return false;
        int extra = 0;
        const int message = MouseMessageOf(mouse, type == QEvent::MouseButtonPress, &extra);
        if (message != 0) {
            const QPoint at = mouse->globalPosition().toPoint();
            editor_->RecordMouse(insert_, message, extra, at.x(), at.y());
        }
    }
    return false;
}

void KeyboardMacroEditing::DeleteSelectedMacro() {
    const int index = editor_->SelectedIndex();
    if (index < 0 || !Confirm("message_text_4")) return;
    auto* keys = KeyboardKeyEditing::Of(page_);
    if (keys != nullptr && keys->ProfileUsesMacro(index) && !Confirm("message_text_2")) return;
    int deleted = -1;
    if (editor_->DeleteMacro(&deleted) != editors::MacroResult::Ok) return;
    const std::string family = page_.Device().FamilyName();
    int failed = 0;
    editors::RenumberProfilesAfterMacroRemoval(
        {DeviceKindOfFamily(family), ProfileFolder(family), DefaultProfilePath(family)}, deleted,
        &failed);
    if (failed > 0) Notice("macro_renumber_failed");
    // The key editor shows the renumbered list of the profile shown.
    if (keys != nullptr) keys->ReloadKeys();
}

}  // namespace rerov
