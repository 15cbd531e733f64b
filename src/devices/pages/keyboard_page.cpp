#include "devices/pages/keyboard_page.h"

#include <QHash>
#include <QPointer>
#include <QThread>
#include <QVariant>
#include <memory>
#include <mutex>

#include "controls/language_texts.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_system_panel.h"
#include "editors/lighting/light_control_ui.h"
#include "editors/profile_bar/device_profile_ui.h"

namespace rerov {

namespace {

// The program's language as last seen on the UI thread, for the device's own threads.
class LanguageCopy {
  public:
    // UI thread: the current text, refreshing the copy when the language changed.
    std::string TextOnUiThread(const std::string& key) {
        const ui::LanguageTexts& texts = ui::LanguageTexts::Instance();
        std::lock_guard<std::mutex> guard(lock_);
        if (!taken_ || name_ != texts.LanguageName()) Take(texts);
        return texts.Text(QString::fromStdString(key)).toStdString();
    }
    // Any other thread: the copy (the key itself before any copy was taken).
    std::string TextElsewhere(const std::string& key) const {
        std::lock_guard<std::mutex> guard(lock_);
        const auto found = copy_.constFind(QString::fromStdString(key));
        return found == copy_.constEnd() ? key : found.value().toStdString();
    }

  private:
    void Take(const ui::LanguageTexts& texts) {
        copy_.clear();
        for (const QString& key : texts.Keys()) copy_.insert(key, texts.Text(key));
        name_ = texts.LanguageName();
        taken_ = true;
    }
    mutable std::mutex lock_;
    QHash<QString, QString> copy_;
    QString name_;
    bool taken_ = false;
};

}  // namespace

CZidiraKeyboardDevice* KeyboardOf(CDevicePageUI& page) {
    return dynamic_cast<CZidiraKeyboardDevice*>(&page.Device());
}

CZidiraKeyboardDevice::TextLookup MakeLanguageLookup(const QObject& owner) {
    auto copy = std::make_shared<LanguageCopy>();
    QThread* uiThread = owner.thread();
    copy->TextOnUiThread({});  // the copy exists before any thread asks
    return [copy, uiThread](const std::string& key) {
        return QThread::currentThread() == uiThread ? copy->TextOnUiThread(key)
                                                    : copy->TextElsewhere(key);
    };
}

void PrepareKeyboardDevice(CDevicePageUI& page) {
    if (CZidiraKeyboardDevice* keyboard = KeyboardOf(page)) {
        keyboard->SetTextLookup(MakeLanguageLookup(page));
    }
}

void WireKeyboardPage(CDevicePageUI& page) {
    CZidiraKeyboardDevice* keyboard = KeyboardOf(page);
    if (keyboard == nullptr) return;
    KeyboardSystemPanel::Attach(page);
    // The keyboard said its profile data changed: the profile list is read again first,
    // so the profile it applies next is the one the list selects now.
    QPointer<CDevicePageUI> guarded(&page);
    keyboard->SetProfileListReload([guarded] {
        if (!guarded || guarded->Editors() == nullptr) return;
        if (profile_bar::CDeviceProfileUI* bar = guarded->Editors()->ProfileBar()) {
            bar->BuildProfileBar();
        }
        guarded->Editors()->LoadSelectedProfile();
    });
    // No device yet: the key list, the lighting and the system settings of the shown
    // profile are still the page's to show and edit.
    if (!keyboard->MainLink().IsConnected() && keyboard->ApplyProfile() != 0) {
        keyboard->ShowSettings();
    }
}

namespace {
constexpr const char* kPaintColourProperty = "rerov_custom_paint_colour";
}

void SetCustomColourTarget(CDevicePageUI& page, bool paintColour) {
    page.setProperty(kPaintColourProperty, paintColour);
}

bool PaintsCustomKeys(CDevicePageUI& page) {
    if (KeyboardOf(page) == nullptr || page.Editors() == nullptr) return false;
    const lighting::CLightControlUI* editor = page.Editors()->LightEditor();
    if (editor == nullptr || !editor->isVisibleTo(&page)) return false;
    const QVariant target = page.property(kPaintColourProperty);
    if (target.isValid() && !target.toBool()) return false;
    return page.Device().GetLightSetting().bytes[LightSetting::kMode] == kCustomLightMode;
}

bool PaintCustomKeys(CDevicePageUI& page, const std::vector<int>& keys) {
    if (!PaintsCustomKeys(page)) return false;
    CZidiraKeyboardDevice* keyboard = KeyboardOf(page);
    const lighting::CLightControlUI* editor = page.Editors()->LightEditor();
    const LightSetting light = page.Device().GetLightSetting();
    const int palette =
        editor->FindColorOption(light.bytes[LightSetting::kRed], light.bytes[LightSetting::kGreen],
                                light.bytes[LightSetting::kBlue]);
    const int group = editor->SelectedCustomGroup();
    for (int key : keys) {
        // A key index is also its light index.
        if (page.Light(key) != nullptr) keyboard->PaintCustomKey(key, palette, group);
    }
    return true;
}

DownloadReport ReadAndApplyOnArrival(CDevicePageUI& page) {
    page.Device().ReadAll();
    CZidiraKeyboardDevice* keyboard = KeyboardOf(page);
    if (keyboard == nullptr || !keyboard->MainLink().IsConnected()) return {};
    const DownloadReport report = keyboard->ApplyToDevice();
    if (report.Failed() || report.report != 0) {
        qCWarning(lcDevicePage, "the profile did not reach the keyboard on its arrival (%d, %d)",
                  report.report, report.link);
    }
    return report;
}

}  // namespace rerov
