// What the device object shows on its page (DevicePageView). Calls from worker threads are
// handed to the page's thread; light frames are coalesced so only the newest is painted.

#include <QMetaObject>
#include <QThread>
#include <algorithm>

#include "controls/control_lookup.h"
#include "controls/device_key_button.h"
#include "controls/select_panel.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/pages/device_page.h"

namespace rerov {

namespace {
constexpr const char* kPowerLayoutName = "device_power_Layout";
}  // namespace

template <typename Work>
void CDevicePageUI::OnUiThread(Work work) {
    if (QThread::currentThread() == thread()) {
        work();
    } else {
        // Queued with the page as context: dropped when the page is gone first.
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
}

void CDevicePageUI::PaintLights(const std::vector<uint32_t>& colours) {
    {
        std::lock_guard<std::mutex> guard(pendingLock_);
        pendingLights_ = colours;
        if (paintQueued_) return;
        paintQueued_ = true;
    }
    OnUiThread([this] { ApplyPendingLights(); });
}

void CDevicePageUI::ApplyPendingLights() {
    std::vector<uint32_t> colours;
    {
        std::lock_guard<std::mutex> guard(pendingLock_);
        colours.swap(pendingLights_);
        paintQueued_ = false;
    }
    const int count = std::min<int>(static_cast<int>(colours.size()), lights_.size());
    bool changed = false;
    for (int light = 0; light < count; ++light) {
        ui::CDeviceKeyButtonUI* button = lights_[light];
        if (button == nullptr) continue;
        const uint32_t colour = colours[static_cast<size_t>(light)];
        const quint32 rgb = colour & 0xFFFFFFu;
        const int level = static_cast<int>(colour >> 24);
        if (button->GetLightColour() == rgb && button->GetLightLevel() == level &&
            button->GetLightOn() == 1) {
            continue;
        }
        button->SetKeyLight(rgb, level, 1);
        changed = true;
    }
    // Frames arrive 20 times a second even when the lighting stands still; repaint the
    // picture only when a light changed, so an idle window costs nothing.
    if (changed && selectPanel_ != nullptr) selectPanel_->update();
}

void CDevicePageUI::SetKeyLabel(int key, const std::string& label) {
    OnUiThread([this, key, text = QString::fromStdString(label)] {
        ui::CDeviceKeyButtonUI* button = KeyButton(key);
        if (button == nullptr) return;
        // The label is the key's tip: the picture keeps the key's own print, and the tip
        // says what the key does now.
        button->setToolTip(text);
        button->setProperty(kKeyLabelProperty, text);
    });
}

void CDevicePageUI::ShowSelectedKey(int key) {
    OnUiThread([this, key] {
        const int previous = selectedKey_;
        selectedKey_ = key;
        // The keyboard object shows the selection itself, with the marks of edited keys
        // (ShowKeyMarks); clearing a mark here would wipe an edited key's.
        if (dynamic_cast<CZidiraKeyboardDevice*>(device_.get()) != nullptr) return;
        if (ui::CDeviceKeyButtonUI* old = KeyButton(previous); old != nullptr && previous != key)
            old->SetKeyUnsetMarkHidden(1);
        if (ui::CDeviceKeyButtonUI* button = KeyButton(key)) button->SetKeyUnsetMarkHidden(0);
    });
}

ui::CTabLayoutUI* CDevicePageUI::TabSwitch(const QString& name) {
    auto found = tabSwitches_.constFind(name);
    if (found != tabSwitches_.constEnd() && found.value()) return found.value().data();
    // The switches may live in the window around the page as well as in the page.
    auto* tabs = qobject_cast<ui::CTabLayoutUI*>(ui::FindSubControlByName(this, name));
    if (tabs == nullptr) tabs = qobject_cast<ui::CTabLayoutUI*>(ui::FindControl(this, name));
    if (tabs != nullptr) tabSwitches_.insert(name, tabs);
    return tabs;
}

bool CDevicePageUI::SelectTab(const std::string& switchName, int index) {
    if (QThread::currentThread() != thread()) {
        OnUiThread([this, switchName, index] { SelectTab(switchName, index); });
        return true;
    }
    ui::CTabLayoutUI* tabs = TabSwitch(QString::fromStdString(switchName));
    return tabs != nullptr && tabs->SelectItem(index);
}

void CDevicePageUI::AddSettingsPanel(DeviceSettingsPanel* panel) {
    if (panel == nullptr) return;
    if (std::find(settingsPanels_.begin(), settingsPanels_.end(), panel) != settingsPanels_.end())
        return;
    settingsPanels_.push_back(panel);
}

void CDevicePageUI::RemoveSettingsPanel(DeviceSettingsPanel* panel) {
    std::erase(settingsPanels_, panel);
}

void CDevicePageUI::ShowSettings() {
    OnUiThread([this] {
        for (DeviceSettingsPanel* panel : settingsPanels_) panel->ShowDeviceSettings(*device_);
    });
}

void CDevicePageUI::ShowAudioLightSetting(uint32_t type, uint32_t colour, uint32_t option) {
    OnUiThread([this, words = AudioLightWords{type, colour, option}] {
        for (DeviceSettingsPanel* panel : settingsPanels_) panel->ShowAudioLightSetting(words);
    });
}

void CDevicePageUI::ShowPowerLayout(bool visible) {
    OnUiThread([this, visible] {
        QWidget* power = device_->PowerControl();
        if (power == nullptr) return;
        if (QWidget* layout =
                ui::FindSubControlByName(power, QString::fromLatin1(kPowerLayoutName)))
            layout->setVisible(visible);
    });
}

void CDevicePageUI::ShowKeyMarks(int key, bool changed, bool pendingMark) {
    OnUiThread([this, key, changed, pendingMark] {
        ui::CDeviceKeyButtonUI* button = KeyButton(key);
        if (button == nullptr) return;
        button->SetKeySetMarkHidden(changed ? 1 : 0);
        button->SetKeyUnsetMarkHidden(pendingMark ? 1 : 0);
    });
}

void CDevicePageUI::ShowPowerStatus(const std::array<uint8_t, 6>& status) {
    // The power control belongs to the window's device list; it shows what it is handed.
    OnUiThread([this, status] { emit powerStatusRead(status); });
}

void CDevicePageUI::Post(std::function<void()> work) {
    // Queued with the page as context: dropped when the page is gone first.
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

}  // namespace rerov
