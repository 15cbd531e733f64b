#pragma once
// CDevicePageUI: the widget of one device page. It is built from the family's layout,
// maps its key buttons and lights for the device object (InitPage), shows what the object
// tells it through DevicePageView, and hands the notifications of its own controls to its
// pump. It owns its device object.

#include <QLoggingCategory>
#include <QPointer>
#include <QVector>
#include <memory>
#include <mutex>
#include <vector>

#include "controls/layout_builder.h"
#include "controls/notification.h"
#include "controls/notify_pump.h"
#include "controls/option_ui.h"
#include "devices/czidira_usb_device.h"
#include "devices/device_page_view.h"
#include "devices/pages/device_settings_panel.h"
#include "devices/pages/page_editors.h"

namespace rerov::ui {
class NotifyBridge;
class CDeviceKeyButtonUI;
class CSelectPanelUI;
}  // namespace rerov::ui

namespace rerov {

Q_DECLARE_LOGGING_CATEGORY(lcDevicePage)

/// The property of a key button that holds the label (its tip) its device gave it.
inline constexpr const char* kKeyLabelProperty = "rerov_key_label";

class CDevicePageUI : public ui::CHorizontalLayoutUI, public ui::INotifyUI, public DevicePageView {
    Q_OBJECT
  public:
    /// A page for `device` (which it owns and connects to itself), without content yet.
    explicit CDevicePageUI(std::unique_ptr<CZidiraUSBDevice> device, QWidget* parent = nullptr);
    ~CDevicePageUI() override;
    /// The device's class name ("ZidiraUSBDevice", "ZidiraKeyboardDevice", ...).
    QString GetClass() const override;

    /// Builds the device's page layout into the page (nothing for an empty layout path) and
    /// runs the device's InitPage. False with *error set when the layout cannot be built.
    bool BuildContent(ui::IDialogBuilderCallback* callback, QString* error = nullptr);

    /// Registers the page with the notification bridge of its window (done on building and
    /// whenever the page moves); false when no window around it has a bridge.
    bool RegisterNotifier();

    /// The device object.
    CZidiraUSBDevice& Device() { return *device_; }
    /// The routing table of the page's own notifications.
    ui::NotifyPump& Pump() { return pump_; }
    /// The profile bar and lighting editor of the page (built with its content), or null
    /// before BuildContent.
    PageEditors* Editors() const { return editors_.get(); }
    /// The select panel found by InitPage, or null.
    ui::CSelectPanelUI* SelectPanel() const { return selectPanel_; }
    /// Key button `key` / light `light`, or null when unmapped.
    ui::CDeviceKeyButtonUI* KeyButton(int key) const;
    ui::CDeviceKeyButtonUI* Light(int light) const;

    /// Adds a panel that shows the device's settings (not owned; remove it before it goes).
    /// UI thread.
    void AddSettingsPanel(DeviceSettingsPanel* panel);
    void RemoveSettingsPanel(DeviceSettingsPanel* panel);

    /// Hands `msg` to the pump only when its sender is one of the page's own controls.
    void Notify(const ui::Notification& msg) override;

    // DevicePageView
    void MapKeyButtons(int keyButtonCount, int lightCount) override;
    bool HasKeyButton(int key) const override;
    bool HasLight(int light) const override;
    void PaintLights(const std::vector<uint32_t>& colours) override;
    void SetKeyLabel(int key, const std::string& label) override;
    void ShowSelectedKey(int key) override;
    bool SelectTab(const std::string& switchName, int index) override;
    void ShowSettings() override;
    void ShowAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) override;
    void ShowPowerLayout(bool visible) override;
    void ShowKeyMarks(int key, bool changed, bool pendingMark) override;
    void ShowPowerStatus(const std::array<uint8_t, 6>& status) override;
    void Post(std::function<void()> work) override;

    /// The label the device gave key `key` last ("" when none).
    QString KeyLabelOf(int key) const;
    /// The key the device shows as selected (-1: none).
    int ShownSelectedKey() const { return selectedKey_; }

    /// Tells the device whether its preview is on screen now: the page shown in a window
    /// that is shown and not minimised. The page calls it itself on every change.
    void UpdatePreviewVisibility();

  signals:
    /// The device read its power status (UI thread); the power display shows it.
    void powerStatusRead(const std::array<uint8_t, 6>& status);

  protected:
    bool event(QEvent* event) override;
    // Minimising does not hide the page, so the page watches its window for it.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Runs `work` on the page's thread: at once when called there, else queued.
    template <typename Work>
    void OnUiThread(Work work);
    void ApplyPendingLights();
    // Tab switches are looked up once.
    ui::CTabLayoutUI* TabSwitch(const QString& name);

    std::unique_ptr<CZidiraUSBDevice> device_;
    std::unique_ptr<PageEditors> editors_;
    ui::NotifyPump pump_;
    QPointer<ui::NotifyBridge> bridge_;
    QPointer<QWidget> watchedWindow_;  // the window whose state changes the page follows
    QWidget* content_ = nullptr;
    ui::CSelectPanelUI* selectPanel_ = nullptr;
    QVector<ui::CDeviceKeyButtonUI*> keyButtons_;
    QVector<ui::CDeviceKeyButtonUI*> lights_;
    QHash<QString, QPointer<ui::CTabLayoutUI>> tabSwitches_;
    std::vector<DeviceSettingsPanel*> settingsPanels_;
    int selectedKey_ = -1;
    // Light frames from worker threads wait here; only the newest is painted.
    std::mutex pendingLock_;
    std::vector<uint32_t> pendingLights_;
    bool paintQueued_ = false;
};

/// Creates the page of family row `familyIndex` for the device `record` (the family's
/// device object, its layout built and mapped) under `parent`. Null with *error set when the
/// family is unknown or its layout cannot be built.
CDevicePageUI* CreateFamilyPage(int familyIndex, const SupportedDevice& record, QWidget* parent,
                                ui::IDialogBuilderCallback* callback = nullptr,
                                QString* error = nullptr,
                                std::shared_ptr<HidBackend> backend = nullptr);

}  // namespace rerov
