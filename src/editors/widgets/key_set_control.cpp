#include "editors/widgets/key_set_control.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <span>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/notify_bridge.h"
#include "editors/assignment/code_tables.h"

namespace rerov::editors {

namespace {

// The categories of the function list, in list order, with their language keys.
struct CategoryEntry {
    int category;
    const char* nameKey;
};
constexpr CategoryEntry kCategoryItems[] = {
    {kCategoryDefault, "keyset_category_default"},
    {kCategoryKeyboard, "keyset_category_keyboard"},
    {kCategoryShortcut, "keyset_category_shortcut"},
    {kCategoryMedia, "keyset_category_media"},
    {kCategoryMacro, "keyset_category_macro"},
    {kCategoryMouseButton, "keyset_category_mouse"},
    {kCategoryWheel, "keyset_category_wheel"},
    {kCategoryTilt, "keyset_category_tilt"},
    {kCategoryFire, "keyset_category_fire"},
    {kCategoryDpi, "keyset_category_dpi"},
    {kCategorySystem, "keyset_category_system"},
    {kCategoryGunKey, "keyset_category_gunkey"},
};

constexpr const char* kDirectionTilt[] = {"keyset_direction_left", "keyset_direction_right"};
constexpr const char* kDirectionWheel[] = {"keyset_direction_up", "keyset_direction_down"};
constexpr const char* kRunModes[] = {"keyset_macro_mode_0", "keyset_macro_mode_1",
                                     "keyset_macro_mode_2", "keyset_macro_mode_3",
                                     "keyset_macro_mode_repeat"};

void FillFromTable(QComboBox* combo, std::span<const CodeRow> table) {
    ui::NotifySilence silence(combo);
    combo->clear();
    for (const CodeRow& row : table) {
        ui::LanguageTexts::AddBoundItem(combo, QString::fromLatin1(row.nameKey));
    }
    ui::SelectItemSilently(combo, -1);
}

template <std::size_t N>
void FillFromKeys(QComboBox* combo, const char* const (&keys)[N]) {
    ui::NotifySilence silence(combo);
    combo->clear();
    for (const char* key : keys) ui::LanguageTexts::AddBoundItem(combo, QString::fromLatin1(key));
    ui::SelectItemSilently(combo, -1);
}

void SetTextSilently(QLineEdit* edit, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (edit->text() == value) return;
    ui::NotifySilence silence(edit);
    edit->setText(value);
}

void Select(QComboBox* combo, int index) {
    ui::SelectItemSilently(combo, index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace

CKeySetControlUI::CKeySetControlUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {
    setObjectName(QStringLiteral("KeySetControlItem_host"));
}

bool CKeySetControlUI::Build(QString* error) {
    ui::LayoutBuilder builder;
    QWidget* root = builder.Create(QString::fromLatin1(kKeySetLayout), nullptr, this);
    if (root == nullptr) {
        if (error != nullptr) *error = builder.ErrorString();
        return false;
    }
    Add(root);
    ui::SubControlBinder find(this);
    find(&body_, "keyset_layout");
    find(&emptyHint_, "keyset_empty_hint");
    find(&keyName_, "keyset_key_name");
    find(&captureNote_, "keyset_capture_note");
    find(&textTest_, "text_test");
    find(&function_, "keyset_function_combo");
    find(&pages_, "function_switch_tablayout");
    find(&mouseKey_, "keyset_mousekey_combo");
    find(&tiltDirection_, "keyset_mouseswing_combo");
    find(&tiltCount_, "keyset_mouseswing_num_edit");
    find(&tiltDelay_, "keyset_mouseswing_delay_edit");
    find(&tiltSpeed_, "keyset_mouseswing_speed_edit");
    find(&wheelDirection_, "keyset_mousewheel_combo");
    find(&wheelCount_, "keyset_mousewheel_num_edit");
    find(&wheelDelay_, "keyset_mousewheel_delay_edit");
    find(&wheelSpeed_, "keyset_mousewheel_speed_edit");
    find(&dpi_, "keyset_mousedpi_combo");
    find(&fireInterval_, "keyset_mousefire_interval_edit");
    find(&fireCount_, "keyset_mousefire_num_edit");
    find(&keyText_, "keyset_keyboard_text_edit");
    find(&media_, "keyset_media_combo");
    find(&system_, "keyset_system_combo");
    find(&macro_, "keyset_macro_combo");
    find(&macroOver_, "keyset_macro_over_combo");
    find(&macroCycleLayout_, "keyset_macro_cycle_layout");
    find(&macroCycle_, "keyset_macro_cycle_edit");
    find(&gunKey_, "keyset_gunkey_combo");
    find(&shortcut_, "keyset_combokey_combo");
    find(&buttons_[0], "key_butt_keysave");
    find(&buttons_[1], "key_butt_keydefalut");
    find(&buttons_[2], "key_butt_keycancel");
    find(&buttons_[3], "key_butt_prosave");
    for (int n = 0; n < kModifierOptionCount; ++n) {
        const QString name = ui::IndexedName(QStringLiteral("key_ComBox_check_"), n);
        find(&modifiers_[static_cast<std::size_t>(n)], name);
    }
    if (!find.Complete(error)) return false;

    {
        ui::NotifySilence silence(function_);
        for (const CategoryEntry& item : kCategoryItems) {
            ui::LanguageTexts::AddBoundItem(function_, QString::fromLatin1(item.nameKey),
                                            QString::number(item.category));
        }
    }
    FillFromTable(mouseKey_, MouseButtonTable());
    FillFromTable(dpi_, DpiActionTable());
    FillFromTable(media_, MediaKeyTable());
    FillFromTable(system_, SystemKeyTable());
    FillFromTable(shortcut_, ShortcutKeyTable());
    FillFromKeys(tiltDirection_, kDirectionTilt);
    FillFromKeys(wheelDirection_, kDirectionWheel);
    FillFromKeys(macroOver_, kRunModes);
    // Digits only: the fields hold small unsigned numbers.
    for (QLineEdit* edit : {tiltCount_, tiltDelay_, tiltSpeed_, wheelCount_, wheelDelay_,
                            wheelSpeed_, macroCycle_, fireInterval_, fireCount_}) {
        edit->setValidator(new QIntValidator(0, 999, edit));
    }
    keyText_->installEventFilter(this);
    captureNote_->hide();
    SetBodyVisible(false);
    SetEditButtonsEnabled(false);
    Render();
    return true;
}

int CKeySetControlUI::CategoryItem(int category) const {
    for (int i = 0; i < function_->count(); ++i) {
        if (function_->itemData(i).toString().toInt() == category) return i;
    }
    return -1;
}

void CKeySetControlUI::SetDeviceKind(int kind) {
    model_.SetDeviceKind(kind);
    // Offered categories only: the keyboard has no DPI and no gun key.
    ui::NotifySilence silence(function_);
    const QString current = function_->currentData().toString();
    function_->clear();
    for (const auto& item : kCategoryItems) {
        if (!model_.IsCategoryOffered(item.category)) continue;
        ui::LanguageTexts::AddBoundItem(function_, QString::fromLatin1(item.nameKey),
                                        QString::number(item.category));
    }
    Select(function_, CategoryItem(current.isEmpty() ? -1 : current.toInt()));
}

void CKeySetControlUI::FillMacroList(const QStringList& names) {
    model_.SetMacroCount(static_cast<int>(names.size()));
    ui::NotifySilence silence(macro_);
    macro_->clear();
    macro_->addItems(names);
    ui::SelectItemSilently(macro_, -1);
}

void CKeySetControlUI::SetKeyEntry(const KeyAssignment& current, const KeyAssignment& defaults) {
    model_.SetKeyEntry(current, defaults);
    Render();
}

void CKeySetControlUI::ShowDefault() {
    model_.ShowDefault();
    Render();
}

void CKeySetControlUI::ShowCurrent() {
    model_.ShowCurrent();
    Render();
}

KeyEntry CKeySetControlUI::ComposeAssignment() {
    Harvest();
    return model_.ComposeAssignment();
}

void CKeySetControlUI::ResetFields() {
    Harvest();
    model_.ResetFields();
    Render();
}

void CKeySetControlUI::SetBodyVisible(bool visible) {
    body_->setVisible(visible);
    emptyHint_->setVisible(!visible);
}

void CKeySetControlUI::SetEditButtonsEnabled(bool enabled) {
    for (QPushButton* button : {buttons_[0], buttons_[2], buttons_[3]}) button->setEnabled(enabled);
}

void CKeySetControlUI::SetKeyName(const QString& name) { keyName_->setText(name); }

void CKeySetControlUI::SetCaptureNote(const QString& note, const QString& tooltip) {
    captureNote_->setText(note);
    captureNote_->setVisible(!note.isEmpty());
    keyText_->setToolTip(tooltip);
}

void CKeySetControlUI::OnCategoryChosen() {
    Harvest();
    model_.ChooseCategory(model_.Form().category);
    Render();
}

void CKeySetControlUI::OnRunModeChosen() {
    Harvest();
    model_.ChooseMacroRunMode(model_.Form().macroRunMode);
    Render();
}

void CKeySetControlUI::OnModifierOptionChosen(int n) {
    Harvest();
    model_.SelectModifierOption(n);
    Render();
}

bool CKeySetControlUI::CaptureKey(input_hook::ScanKey key) {
    Harvest();
    const bool taken = model_.CaptureKey(key.scanCode, key.extended ? 1u : 0u);
    Render();
    return taken;
}

void CKeySetControlUI::ShowKeyText(const std::string& nameKey) {
    // The label turns the language key into the text of the current language.
    if (nameKey.empty()) {
        textTest_->clear();
    } else {
        textTest_->setText(ui::Tr(QString::fromStdString(nameKey)));
    }
    ui::NotifySilence silence(keyText_);
    keyText_->setText(textTest_->text());
}

void CKeySetControlUI::changeEvent(QEvent* event) {
    // The lists are bound to their keys; the key text is composed from the form.
    if (event->type() == QEvent::LanguageChange) ShowKeyText(model_.Form().keyTextKey);
    ui::CHorizontalLayoutUI::changeEvent(event);
}

void CKeySetControlUI::Render() {
    const KeySetForm& f = model_.Form();
    SetBodyVisible(f.bodyVisible);
    Select(function_, CategoryItem(f.category));
    if (f.category >= 0) pages_->SelectItem(f.category);
    Select(mouseKey_, f.mouseButton);
    Select(tiltDirection_, f.tiltDirection);
    SetTextSilently(tiltCount_, f.tiltCount);
    SetTextSilently(tiltDelay_, f.tiltDelay);
    SetTextSilently(tiltSpeed_, f.tiltSpeed);
    Select(wheelDirection_, f.wheelDirection);
    SetTextSilently(wheelCount_, f.wheelCount);
    SetTextSilently(wheelDelay_, f.wheelDelay);
    SetTextSilently(wheelSpeed_, f.wheelSpeed);
    Select(dpi_, f.dpiAction);
    SetTextSilently(fireInterval_, f.fireInterval);
    SetTextSilently(fireCount_, f.fireCount);
    ShowKeyText(f.keyTextKey);
    for (int n = 0; n < kModifierOptionCount; ++n) {
        ui::SetCheckedSilently(modifiers_[static_cast<std::size_t>(n)],
                               f.modifierOptions[static_cast<std::size_t>(n)]);
    }
    Select(media_, f.media);
    Select(system_, f.system);
    Select(macro_, f.macro);
    Select(macroOver_, f.macroRunMode);
    SetTextSilently(macroCycle_, f.macroRepeatCount);
    macroCycleLayout_->setVisible(f.macroRepeatVisible);
    Select(gunKey_, f.gunKey);
    Select(shortcut_, f.shortcut);
}

void CKeySetControlUI::Harvest() {
    KeySetForm& f = model_.Form();
    const QString category = function_->currentData().toString();
    bool ok = false;
    const int parsed = category.toInt(&ok, 10);
    f.category = function_->currentIndex() >= 0 && ok ? parsed : -1;
    f.mouseButton = mouseKey_->currentIndex();
    f.tiltDirection = tiltDirection_->currentIndex();
    f.tiltCount = tiltCount_->text().toStdString();
    f.tiltDelay = tiltDelay_->text().toStdString();
    f.tiltSpeed = tiltSpeed_->text().toStdString();
    f.wheelDirection = wheelDirection_->currentIndex();
    f.wheelCount = wheelCount_->text().toStdString();
    f.wheelDelay = wheelDelay_->text().toStdString();
    f.wheelSpeed = wheelSpeed_->text().toStdString();
    f.dpiAction = dpi_->currentIndex();
    f.fireInterval = fireInterval_->text().toStdString();
    f.fireCount = fireCount_->text().toStdString();
    // The key text is what the model put there; a cleared edit clears the key.
    if (keyText_->text().isEmpty()) f.keyTextKey.clear();
    for (int n = 0; n < kModifierOptionCount; ++n) {
        f.modifierOptions[static_cast<std::size_t>(n)] =
            modifiers_[static_cast<std::size_t>(n)]->isChecked();
    }
    f.media = media_->currentIndex();
    f.system = system_->currentIndex();
    f.macro = macro_->currentIndex();
    f.macroRunMode = macroOver_->currentIndex();
    f.macroRepeatCount = macroCycle_->text().toStdString();
    f.gunKey = gunKey_->currentIndex();
    f.shortcut = shortcut_->currentIndex();
}

bool CKeySetControlUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == keyText_ && event->type() == QEvent::FocusIn) emit keyTextFocusChanged(true);
    if (watched == keyText_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
        emit keyTextFocusChanged(false);
    }
    if (watched == keyText_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) return true;
        std::optional<input_hook::ScanKey> scan;
        // On X11 the native scan code is the X key code: the evdev code plus 8.
        if (key->nativeScanCode() > static_cast<quint32>(input_hook::kX11KeycodeOffset) &&
            QGuiApplication::platformName() == QLatin1String("xcb")) {
            scan = input_hook::ScanKeyOfEvdev(static_cast<int>(key->nativeScanCode()) -
                                              input_hook::kX11KeycodeOffset);
        }
        if (!scan) {
            scan = input_hook::ScanKeyOfQtKey(key->key(),
                                              key->modifiers().testFlag(Qt::KeypadModifier));
        }
        if (scan) emit keyPressedInWindow(scan->scanCode, scan->extended);
        // The key is the editor's: it never types into the edit or moves the focus.
        return true;
    }
    return ui::CHorizontalLayoutUI::eventFilter(watched, event);
}

}  // namespace rerov::editors
