#pragma once
// PageEditors: the profile bar and the lighting editor of one device page, built into the
// places the page's layout keeps for them, and the profile data they edit. Editors never
// talk to a device: the main window hands a changed record to StoreLighting, which gives it
// to the device object and saves it in the selected profile. UI thread only.

#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>

#include "devices/pages/device_settings_panel.h"
#include "profiles/basic_profile_data.h"
#include "profiles/profile_records.h"

class QWidget;

namespace rerov {
class CZidiraUSBDevice;
namespace profile_bar {
class CDeviceProfileUI;
}
namespace lighting {
class CLightControlUI;
}

/// The places of a page layout that the editors are built into.
inline constexpr const char* kProfileBarPlace = "device_profile_place";
inline constexpr const char* kLightEditorPlace = "lighting_editor_place";
/// The maximum of the brightness and speed levels every family uses.
inline constexpr int kMaxLightLevel = 4;

class PageEditors : public DeviceSettingsPanel {
  public:
    /// Editors of `device`'s page, whose layout is `content`; nothing is built yet.
    PageEditors(CZidiraUSBDevice& device, QWidget* content);
    ~PageEditors() override;
    PageEditors(const PageEditors&) = delete;
    PageEditors& operator=(const PageEditors&) = delete;

    /// Builds the bar and the editor into the places the layout has (a page without a place
    /// has no such editor), builds the profile list, loads the selected profile and shows
    /// the first feature tab.
    void Build();

    /// The profile bar, or null when the page has none.
    profile_bar::CDeviceProfileUI* ProfileBar() const;
    /// The lighting editor, or null when the page has none.
    lighting::CLightControlUI* LightEditor() const;

    /// Loads the bar's selected profile: the device takes its lighting record and the
    /// editors show it. False when the page has no profile bar.
    bool LoadSelectedProfile();
    /// The profile file loaded last (empty before any).
    std::filesystem::path ProfilePath() const { return profile_->GetProfilePath(); }

    /// The page's lighting record (the device object's).
    LightSetting Lighting() const;
    /// Takes a changed lighting record: the device stops following the lighting
    /// synchronisation, stores it and applies it, and the profile saves it. False when the
    /// profile could not be saved (the device still shows the change).
    bool StoreLighting(const LightSetting& setting);
    /// The page's audio-light record (as the profile holds it).
    AudioLightSetting AudioLighting() const { return profile_->AudioLight(); }
    /// Takes a changed audio-light record: the profile saves it and the editor shows it.
    bool StoreAudioLighting(const AudioLightSetting& setting);
    /// The keyboard's custom light group: stored in the profile and saved. False on another
    /// family or when the save failed.
    bool StoreCustomGroup(int group);

    /// DeviceSettingsPanel: the lighting editor shows the device's lighting as it is now
    /// (after a read of the device, a change on the device or a profile switch).
    void ShowDeviceSettings(CZidiraUSBDevice& device) override;
    void ShowAudioLightSetting(const AudioLightWords& words) override;

  private:
    // Re-reads the profile file, lets `write` change its record and saves it; false when
    // there is no profile file or the save failed.
    bool SaveField(const std::function<void(CBasicProfiledata&)>& write);
    QWidget* Place(const char* name) const;
    void BuildProfileBar(QWidget* place);
    void BuildLightEditor(QWidget* place);

    CZidiraUSBDevice& device_;
    QWidget* content_;
    std::unique_ptr<CBasicProfiledata> profile_;
    QPointer<profile_bar::CDeviceProfileUI> bar_;
    QPointer<lighting::CLightControlUI> editor_;
};

}  // namespace rerov
