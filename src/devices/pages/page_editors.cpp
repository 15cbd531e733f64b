#include "devices/pages/page_editors.h"

#include <QLoggingCategory>
#include <QWidget>

#include "controls/control_base.h"
#include "controls/control_lookup.h"
#include "devices/czidira_usb_device.h"
#include "editors/lighting/light_control_ui.h"
#include "editors/lighting/light_mode_names.h"
#include "editors/profile_bar/device_profile_ui.h"
#include "profiles/keyboard_profile_data.h"

namespace rerov {

Q_LOGGING_CATEGORY(lcPageEditors, "rerov.devices.editors", QtWarningMsg)

namespace {

// The kind a page and its editors know: the receiver kinds count as their family's.
int PageKind(int recordKind) {
    switch (recordKind) {
        case 9:
            return 1;
        case 6:
            return 2;
        default:
            return recordKind;
    }
}

constexpr int kKeyboardKind = 1;
// The tab pages show first: the lighting.
constexpr int kFirstFeatureTab = 1;

}  // namespace

PageEditors::PageEditors(CZidiraUSBDevice& device, QWidget* content)
    : device_(device), content_(content) {
    if (PageKind(device.Kind()) == kKeyboardKind) {
        profile_ = std::make_unique<CKeyboardProfiledata>();
    } else {
        profile_ = std::make_unique<CBasicProfiledata>();
    }
    profile_->SetDefaultPath(device.DefaultProfilePath());
}

// The widgets belong to their places; the device is gone by the time this runs.
PageEditors::~PageEditors() = default;

profile_bar::CDeviceProfileUI* PageEditors::ProfileBar() const { return bar_.data(); }

lighting::CLightControlUI* PageEditors::LightEditor() const { return editor_.data(); }

QWidget* PageEditors::Place(const char* name) const {
    return content_ != nullptr ? ui::FindSubControlByName(content_, QLatin1String(name)) : nullptr;
}

void PageEditors::Build() {
    if (QWidget* place = Place(kLightEditorPlace)) BuildLightEditor(place);
    if (QWidget* place = Place(kProfileBarPlace)) BuildProfileBar(place);
    LoadSelectedProfile();
    if (bar_) bar_->SelectFeatureTab(kFirstFeatureTab);
    device_.SelectFunctionTab(kFirstFeatureTab);
}

void PageEditors::BuildProfileBar(QWidget* place) {
    auto* bar = new profile_bar::CDeviceProfileUI();
    bar->setObjectName(QLatin1String(profile_bar::kProfileBarName));
    QString error;
    if (!bar->BuildContent(&error)) {
        qCWarning(lcPageEditors, "profile bar: %s", qPrintable(error));
        delete bar;
        return;
    }
    if (auto* container = qobject_cast<ui::CContainerUI*>(place)) {
        container->Add(bar);
    } else {
        bar->setParent(place);
    }
    bar_ = bar;
    // Another program removed the shown profile: the page shows the one the bar shows now.
    QObject::connect(bar, &profile_bar::CDeviceProfileUI::outsideChange, bar,
                     [this](bool currentChanged) {
                         if (currentChanged) LoadSelectedProfile();
                     });
    bar->SetDeviceKind(PageKind(device_.Kind()));
    bar->SetFolders(device_.ProfileFolder(), device_.DefaultProfilePath());
    const StoreResult built = bar->BuildProfileBar();
    if (built != StoreResult::Ok) {
        qCWarning(lcPageEditors, "profile list of %s: %s", device_.FamilyName().c_str(),
                  StoreResultText(built));
    }
}

void PageEditors::BuildLightEditor(QWidget* place) {
    auto* editor = new lighting::CLightControlUI();
    editor->setObjectName(QLatin1String(lighting::kLightControlName));
    QString error;
    if (!editor->BuildContent(&error)) {
        qCWarning(lcPageEditors, "lighting editor: %s", qPrintable(error));
        delete editor;
        return;
    }
    if (auto* container = qobject_cast<ui::CContainerUI*>(place)) {
        container->Add(editor);
    } else {
        editor->setParent(place);
    }
    editor_ = editor;
    editor->SetDeviceKind(PageKind(device_.Kind()));
    const lighting::LightModeList modes = lighting::ReadLightModeList(
        device_.DefaultDataFolder() / lighting::kDefaultLightFileName, device_.DefaultDataIndex());
    DeviceNameLists& lists = device_.NameLists();
    lists.modeNames = modes.names;
    lists.modeVisible.assign(modes.visible.begin(), modes.visible.end());
    lists.modeCodes.assign(modes.codes.begin(), modes.codes.end());
    editor->InitModes(modes.names, modes.visible, kMaxLightLevel, kMaxLightLevel);
}

void PageEditors::ShowDeviceSettings(CZidiraUSBDevice& device) {
    if (editor_) editor_->ShowLightSetting(device.GetLightSetting());
}

// The editor shows the audio lighting from the profile record it was saved in.
void PageEditors::ShowAudioLightSetting(const AudioLightWords&) {}

bool PageEditors::LoadSelectedProfile() {
    if (!bar_) return false;
    const std::filesystem::path path = bar_->CurrentProfilePath();
    if (path.empty()) return false;
    profile_->SetProfilePath(path);
    profile_->LoadProfile(path);
    const LightSetting light = profile_->ReadLightInfo();
    const AudioLightSetting audio = profile_->ReadAudioLightInfo();
    device_.SetLightSetting(light);
    if (editor_) {
        editor_->ShowLightSetting(light);
        editor_->ShowAudioLightSetting(audio);
        if (auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(profile_.get())) {
            editor_->SelectCustomGroup(keyboard->ReadCustomGroupIndex());
        }
    }
    return true;
}

LightSetting PageEditors::Lighting() const { return device_.GetLightSetting(); }

bool PageEditors::StoreLighting(const LightSetting& setting) {
    // The user's change wins over the lighting synchronisation of all devices.
    device_.MainLink().SetLightingSync(false);
    device_.SetLightSetting(setting);
    const bool saved = SaveField([&](CBasicProfiledata& data) { data.WriteLightInfo(setting); });
    if (!saved) qCWarning(lcPageEditors, "the lighting could not be saved in the profile");
    // The device applies its lighting from its copy of the profile: it takes the file as
    // saved now, or it would put back the lighting it read before this change.
    if (saved) device_.OpenProfile();
    device_.ApplyLighting();
    device_.WriteParameterBlock(0, 0, 1, 0, 0);
    return saved;
}

bool PageEditors::StoreAudioLighting(const AudioLightSetting& setting) {
    const bool saved =
        SaveField([&](CBasicProfiledata& data) { data.WriteAudioLightInfo(setting); });
    if (editor_) editor_->ShowAudioLightSetting(setting);
    if (!saved) qCWarning(lcPageEditors, "the audio lighting could not be saved in the profile");
    if (saved) device_.OpenProfile();
    device_.ApplyLighting();
    return saved;
}

bool PageEditors::StoreCustomGroup(int group) {
    auto* keyboard = dynamic_cast<CKeyboardProfiledata*>(profile_.get());
    if (keyboard == nullptr || group < 0) return false;
    return SaveField([&](CBasicProfiledata&) { keyboard->WriteCustomGroupIndex(group); });
}

// The file is read again before the field goes in: the key and macro editors save their own
// sections of the same profile, and writing back a copy read earlier would undo their edits.
bool PageEditors::SaveField(const std::function<void(CBasicProfiledata&)>& write) {
    const std::filesystem::path path = profile_->GetProfilePath();
    if (!path.empty()) profile_->LoadProfile(path);
    write(*profile_);
    return !path.empty() && profile_->Save();
}

}  // namespace rerov
