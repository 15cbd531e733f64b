#pragma once
// CDeviceProfileUI: the profile bar at the top of a device page. It shows the profile store
// of the device (the combo of profiles, the name edit) and the row of feature tabs, and
// forwards the user's commands to the store, which stays the one authority on the files.
// Confirmations and file dialogs belong to the main window, which calls the commands here.

#include <QString>
#include <filesystem>
#include <memory>
#include <string>

#include "controls/option_ui.h"
#include "profiles/profile_store.h"
#include "profiles/store_result.h"

class QComboBox;
class QLineEdit;

namespace rerov {
class ProfileListWatcher;
}

namespace rerov::profile_bar {

/// The layout the bar builds into itself.
inline constexpr const char* kProfileBarLayout = "XML\\CustomControlXML\\DeviceProfile.xml";
/// The name device pages give their bar.
inline constexpr const char* kProfileBarName = "DeviceProfileItem";
/// Number of feature tabs; SelectFeatureTab takes 1 to this.
inline constexpr int kFeatureTabCount = 8;
/// The feature tab options in tab-number order (tab n is element n - 1).
extern const char* const kFeatureTabNames[kFeatureTabCount];

class CDeviceProfileUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT
  public:
    explicit CDeviceProfileUI(QWidget* parent = nullptr);
    ~CDeviceProfileUI() override;
    QString GetClass() const override { return QStringLiteral("DeviceProfile"); }

    /// Builds the bar's layout into it; false (with *error) when it cannot be built. Runs once.
    bool BuildContent(QString* error = nullptr);

    /// The DeviceKind of the owning page (1 keyboard, 2 mouse, 3 mouse pad, 7 headset).
    void SetDeviceKind(int kind) { kind_ = kind; }
    int DeviceKind() const { return kind_; }
    /// The device's profile folder and factory default profile; makes the store.
    void SetFolders(const std::filesystem::path& folder, const std::filesystem::path& defaultFile);

    /// Reads (or creates) the list, fills the combo, shows the stored selection, sets the
    /// feature tabs' visibility by kind and starts following outside changes of the folder.
    StoreResult BuildProfileBar();
    /// Selects profile `index` in the store and shows it; `notify` lets the combo report the
    /// selection as a user's would.
    StoreResult SelectProfile(int index, bool notify);
    /// The combo's current index; -1 when nothing is selected or there is no combo.
    int GetSelectedProfile() const;
    /// Text of "device_profile_name_edit" ("" without the edit).
    QString GetNameEditText() const;
    void SetNameEditText(const QString& text);
    /// Visibility of "profile_menu_layout".
    void SetMenuVisible(bool visible);
    bool IsMenuVisible() const;
    /// Number of profiles after re-reading the list file.
    int GetProfileCount() const;
    /// The profile file of entry `index` after re-reading the list file (empty when none).
    std::filesystem::path GetProfileFilePath(int index) const;

    /// The commands; each leaves the files as they were when it is refused, then shows the
    /// store's list (which may have been re-read).
    StoreResult AddProfile();
    StoreResult DeleteProfile();
    StoreResult CopyProfile();
    StoreResult ResetProfile();
    StoreResult ImportProfile(const std::filesystem::path& path);
    StoreResult ExportProfile(const std::filesystem::path& path);
    /// Renames the selected profile (see RenameResultCode for the bar's 1 / 0 / 2).
    StoreResult RenameProfile(const QString& name);

    /// Selects feature tab `n` (1 to 8) and unselects the others, without notifications;
    /// nothing unless all eight tabs exist.
    void SelectFeatureTab(int n);
    /// The tab number of the selected feature tab, 0 when none.
    int SelectedFeatureTab() const;
    /// "profileUUID" of the shown profile ("" before BuildProfileBar).
    std::string GetCurrentUUID() const;
    /// The file of the shown profile (empty before BuildProfileBar).
    std::filesystem::path CurrentProfilePath() const;
    /// The store behind the bar (null before SetFolders).
    ProfileStore* Store() const { return store_.get(); }

  signals:
    /// Another program changed the list; `currentChanged` when the shown profile is another
    /// one now (the page must load it).
    void outsideChange(bool currentChanged);

  private:
    void ShowStore();
    void ApplyTabVisibility();
    QComboBox* Combo() const;
    QLineEdit* NameEdit() const;
    QWidget* Control(const char* name) const;

    int kind_ = 0;
    std::unique_ptr<ProfileStore> store_;
    std::unique_ptr<ProfileListWatcher> watcher_;
    QWidget* content_ = nullptr;
};

}  // namespace rerov::profile_bar
