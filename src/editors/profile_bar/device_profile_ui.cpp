#include "editors/profile_bar/device_profile_ui.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include "controls/control_lookup.h"
#include "controls/layout_builder.h"
#include "controls/notify_bridge.h"
#include "profiles/profile_list_watcher.h"

namespace rerov::profile_bar {

const char* const kFeatureTabNames[kFeatureTabCount] = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};

namespace {

constexpr const char* kComboName = "device_profile_combo";
constexpr const char* kNameEditName = "device_profile_name_edit";
constexpr const char* kMenuName = "profile_menu_layout";

// Tab visibility by device kind: the tabs a kind hides and shows; the others keep the
// layout's. The lighting tab is always shown.
struct TabRow {
    int kind;
    std::initializer_list<const char*> hidden;
    std::initializer_list<const char*> shown;
};
const TabRow kTabRows[] = {
    {1, {"cursor_Op_tab"}, {}},
    {3, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
    {5, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
    {4, {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"}, {}},
    {7,
     {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"},
     {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
};

}  // namespace

CDeviceProfileUI::CDeviceProfileUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

CDeviceProfileUI::~CDeviceProfileUI() = default;

bool CDeviceProfileUI::BuildContent(QString* error) {
    if (content_ != nullptr) return true;
    ui::LayoutBuilder builder;
    content_ = builder.Create(QLatin1String(kProfileBarLayout), nullptr, this);
    if (content_ == nullptr) {
        if (error != nullptr) *error = builder.ErrorString();
        return false;
    }
    Add(content_);
    // Profile names are typed here; the combo shows them, it never takes typed text.
    if (QComboBox* combo = Combo()) combo->setEditable(false);
    return true;
}

QWidget* CDeviceProfileUI::Control(const char* name) const {
    return ui::FindSubControlByName(this, QLatin1String(name));
}

QComboBox* CDeviceProfileUI::Combo() const { return qobject_cast<QComboBox*>(Control(kComboName)); }

QLineEdit* CDeviceProfileUI::NameEdit() const {
    return qobject_cast<QLineEdit*>(Control(kNameEditName));
}

void CDeviceProfileUI::SetFolders(const std::filesystem::path& folder,
                                  const std::filesystem::path& defaultFile) {
    watcher_.reset();
    store_ = std::make_unique<ProfileStore>(kind_, folder, defaultFile);
}

StoreResult CDeviceProfileUI::BuildProfileBar() {
    if (!store_) return StoreResult::FolderUnavailable;
    const StoreResult built = store_->Build();
    ShowStore();
    ApplyTabVisibility();
    if (built == StoreResult::Ok && !watcher_) {
        watcher_ = std::make_unique<ProfileListWatcher>(*store_, [this](RefreshResult result) {
            ShowStore();
            emit outsideChange(result == RefreshResult::CurrentChanged);
        });
    }
    return built;
}

void CDeviceProfileUI::ShowStore() {
    QComboBox* combo = Combo();
    if (combo == nullptr || !store_) return;
    QStringList names;
    for (const ProfileEntry& entry : store_->Entries()) {
        names.append(QString::fromStdString(entry.name));
    }
    // The items are rebuilt only when the names changed, so an open list is not disturbed.
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown.append(combo->itemText(i));
    if (shown != names) {
        ui::NotifySilence silence(combo);
        combo->clear();
        for (const QString& name : names) combo->addItem(name, name);
    }
    ui::SelectItemSilently(combo, store_->Selected());
    SetNameEditText(combo->currentText());
}

void CDeviceProfileUI::ApplyTabVisibility() {
    for (const TabRow& row : kTabRows) {
        if (row.kind != kind_) continue;
        for (const char* name : row.hidden) {
            if (QWidget* tab = Control(name)) tab->setVisible(false);
        }
        for (const char* name : row.shown) {
            if (QWidget* tab = Control(name)) tab->setVisible(true);
        }
    }
    if (QWidget* lighting = Control(kFeatureTabNames[0])) lighting->setVisible(true);
}

StoreResult CDeviceProfileUI::SelectProfile(int index, bool notify) {
    if (!store_) return StoreResult::NoSelection;
    const StoreResult result = store_->Select(index);
    if (QComboBox* combo = Combo()) {
        if (notify && result == StoreResult::Ok && combo->currentIndex() != index) {
            combo->setCurrentIndex(index);
        }
    }
    ShowStore();
    return result;
}

int CDeviceProfileUI::GetSelectedProfile() const {
    const QComboBox* combo = Combo();
    return combo != nullptr ? combo->currentIndex() : -1;
}

QString CDeviceProfileUI::GetNameEditText() const {
    const QLineEdit* edit = NameEdit();
    return edit != nullptr ? edit->text() : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& text) {
    if (QLineEdit* edit = NameEdit()) edit->setText(text);
}

void CDeviceProfileUI::SetMenuVisible(bool visible) {
    if (QWidget* menu = Control(kMenuName)) menu->setVisible(visible);
}

bool CDeviceProfileUI::IsMenuVisible() const {
    const QWidget* menu = Control(kMenuName);
    return menu != nullptr && !menu->isHidden();
}

int CDeviceProfileUI::GetProfileCount() const { return store_ ? store_->GetProfileCount() : 0; }

std::filesystem::path CDeviceProfileUI::GetProfileFilePath(int index) const {
    return store_ ? store_->GetProfileFilePath(index) : std::filesystem::path();
}

StoreResult CDeviceProfileUI::AddProfile() {
    if (!store_) return StoreResult::NoSelection;
    const StoreResult result = store_->Add();
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::DeleteProfile() {
    if (!store_ || GetSelectedProfile() < 0) return StoreResult::NoSelection;
    const StoreResult result = store_->Delete();
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::CopyProfile() {
    if (!store_ || GetSelectedProfile() < 0) return StoreResult::NoSelection;
    const StoreResult result = store_->Copy();
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::ResetProfile() {
    if (!store_ || GetSelectedProfile() < 0) return StoreResult::NoSelection;
    const StoreResult result = store_->Reset();
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::ImportProfile(const std::filesystem::path& path) {
    if (!store_ || GetSelectedProfile() < 0) return StoreResult::NoSelection;
    const StoreResult result = store_->Import(path);
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::ExportProfile(const std::filesystem::path& path) {
    if (!store_ || GetSelectedProfile() < 0) return StoreResult::NoSelection;
    const StoreResult result = store_->Export(path);
    ShowStore();
    return result;
}

StoreResult CDeviceProfileUI::RenameProfile(const QString& name) {
    if (!store_ || Combo() == nullptr) return StoreResult::NoSelection;
    const StoreResult result = store_->Rename(name.toStdString());
    ShowStore();
    // A refused name stays in the edit, so the user can correct it.
    if (result == StoreResult::NameBlank || result == StoreResult::NameInUse) {
        SetNameEditText(name);
    }
    return result;
}

void CDeviceProfileUI::SelectFeatureTab(int n) {
    QAbstractButton* tabs[kFeatureTabCount] = {};
    for (int i = 0; i < kFeatureTabCount; ++i) {
        tabs[i] = qobject_cast<QAbstractButton*>(Control(kFeatureTabNames[i]));
        if (tabs[i] == nullptr) return;
    }
    if (n < 1 || n > kFeatureTabCount) return;
    for (int i = 0; i < kFeatureTabCount; ++i) ui::SetCheckedSilently(tabs[i], i == n - 1);
}

int CDeviceProfileUI::SelectedFeatureTab() const {
    for (int i = 0; i < kFeatureTabCount; ++i) {
        const auto* tab = qobject_cast<const QAbstractButton*>(Control(kFeatureTabNames[i]));
        if (tab != nullptr && tab->isChecked()) return i + 1;
    }
    return 0;
}

std::string CDeviceProfileUI::GetCurrentUUID() const {
    return store_ ? store_->CurrentUUID() : std::string();
}

std::filesystem::path CDeviceProfileUI::CurrentProfilePath() const {
    return store_ ? store_->CurrentProfilePath() : std::filesystem::path();
}

}  // namespace rerov::profile_bar
