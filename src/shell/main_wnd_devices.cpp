// The device manager's side of the main window: creating and destroying the device pages
// with their list entries and power displays, and the operations on the device list.

#include <QLayout>
#include <QLoggingCategory>
#include <algorithm>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/option_ui.h"
#include "devices/family_devices.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_key_editing.h"
#include "devices/pages/keyboard_macro_editing.h"
#include "shell/device_option_ui.h"
#include "shell/main_wnd.h"
#include "shell/main_wnd_page_slot.h"
#include "shell/mp_device_power_ui.h"
#include "shell/page_entry_adapter.h"
#include "shell/routes/download_report.h"

Q_DECLARE_LOGGING_CATEGORY(lcMainWnd)

namespace rerov::shell {
namespace {

const QString kPowerLayout = QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml");
const QString kDeviceSwitch = QStringLiteral("device_switch");
const QString kDeviceList = QStringLiteral("device_select_layout");
const QString kNoDeviceHint = QStringLiteral("No_device_Link");
const QString kPowerSwitch = QLatin1String(kPowerContainerName);
constexpr int kEntrySpacing = 10;

}  // namespace

ui::CTabLayoutUI* CMainWnd::Tab(const QString& name) const {
    return qobject_cast<ui::CTabLayoutUI*>(FindControl(name));
}

// --- Creating and destroying pages ---

void CMainWnd::CreateDevicePages() { manager_->CreateDevicePages(); }

bool CMainWnd::CreateDevicePage(int supportedRow, int role) {
    if (supportedRow < 0 || size_t(supportedRow) >= supported_.size()) return false;
    const SupportedDevice record = supported_[size_t(supportedRow)];
    const int familyIndex = manager_->FamilyOfRow(supportedRow, role);
    if (familyIndex < 0) return false;
    const DeviceFamily& family = manager_->Families()[size_t(familyIndex)];
    auto* powerSwitch = Tab(kPowerSwitch);
    auto* pageSwitch = Tab(kDeviceSwitch);
    auto* list = qobject_cast<ui::CContainerUI*>(FindControl(kDeviceList));
    if (powerSwitch == nullptr || pageSwitch == nullptr || list == nullptr) return false;

    ui::LayoutBuilder builder;
    auto* power = qobject_cast<CMpDevicePowerUI*>(builder.Create(kPowerLayout, this, nullptr));
    std::unique_ptr<CZidiraUSBDevice> device = CreateFamilyDevice(familyIndex, record, backend_);
    auto* entry = qobject_cast<CDeviceOptionUI*>(
        builder.Create(QString::fromLatin1(family.listEntryLayout), this, nullptr));
    if (power == nullptr || device == nullptr || entry == nullptr) {
        qCWarning(lcMainWnd, "page parts of %s cannot be built: %s", family.familyName,
                  qPrintable(builder.ErrorString()));
        delete power;
        delete entry;
        return false;
    }

    powerSwitch->Add(power);
    power->SetKindRole(record.kind, record.role);
    // The family's flag was set before the page had a power control to show it on.
    power->ShowPowerLayout(device->HasPowerDisplay());

    device->SetOwnerWindow(this);
    device->SetProfileFileTitle(profileTitle_.toStdString());
    device->SetPowerControl(power);
    device->SetListEntry(entry);
    auto* page = new CDevicePageUI(std::move(device));
    page->setObjectName(QString::fromLatin1(family.familyName) + QStringLiteral("_page"));
    QString error;
    if (!page->BuildContent(this, &error)) {
        qCWarning(lcMainWnd, "page of %s: %s", family.familyName, qPrintable(error));
        delete page;
        delete power;
        delete entry;
        return false;
    }
    pageSwitch->Add(page);
    if (auto* keyEditing = KeyboardKeyEditing::Of(*page)) {
        keyEditing->SetCaptureSource(KeyCapture());
        // The key editor's downloads are reported like every other download.
        connect(keyEditing, &KeyboardKeyEditing::downloaded, this,
                [this](const DownloadReport& report) {
                    ShowKeyboardDownloadReport(this, report, Dpi());
                });
    }
    // What the device reads of its battery shows in its power display.
    connect(page, &CDevicePageUI::powerStatusRead, power,
            [power](const std::array<uint8_t, 6>& status) {
                power->ShowPowerStatus(status.data(), status.size());
            });
    if (auto* macroEditing = KeyboardMacroEditing::Of(*page)) ConnectMacroEditing(*macroEditing);
    const int group = PageGroupOfKind(record.kind);
    if (group >= 0) pageLists_[size_t(group)].push_back(page);

    list->Add(entry);
    if (QLayout* row = list->layout()) {
        // Entries line up from the left, one gap apart, however wide the window is.
        row->setSpacing(kEntrySpacing);
        row->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    entry->SetVisible(false);
    auto slot = std::make_unique<PageSlot>();
    slot->page = page;
    slot->power = power;
    slot->entry = entry;
    slot->adapter = std::make_unique<PageEntryAdapter>(*page);
    slot->group = group;
    entry->SetGroup(QString::fromLatin1(family.tabHeader));
    entry->BindPageTab(kDeviceSwitch, int(pageSwitch->Items().indexOf(page)));
    entry->SetPowerTab(QString::fromLatin1(family.powerContainer),
                       int(powerSwitch->Items().indexOf(power)));
    entry->SetDeviceIcons(record.kind, record.role);
    entry->SetEntryNameKey(QStringLiteral("device_family_") +
                           QString::fromLatin1(family.familyName));
    entry->SetPage(slot->adapter.get());
    entry->SetKeyLightContainer(slot->adapter->KeyLightContainer());
    connect(entry, &CDeviceOptionUI::showEntryRequested, this,
            [this](int familyIndex, bool show) { OnShowEntryMessage(familyIndex, show ? 1 : 0); });
    pages_.push_back(std::move(slot));
    // The new page, entry and power display take the window's content scale.
    SetContentScale(ContentScale());
    return true;
}

void CMainWnd::DestroyDevicePages() { manager_->DestroyDevicePages(); }

void CMainWnd::RemoveDevicePage(ManagedDevice* device) {
    const int index = EntryIndexOf(device);
    if (index < 0) return;
    std::unique_ptr<PageSlot> slot = std::move(pages_[size_t(index)]);
    pages_.erase(pages_.begin() + index);
    for (auto& list : pageLists_) {
        list.erase(std::remove(list.begin(), list.end(), slot->page.data()), list.end());
    }
    if (slot->entry) slot->entry->ClearPage();
    // Entry, power display and page leave their containers; the entries after this one
    // are bound again to the positions their page and power display now have.
    delete slot->entry.data();
    delete slot->power.data();
    delete slot->page.data();
    for (size_t i = size_t(index); i < pages_.size(); ++i) {
        CDeviceOptionUI* entry = pages_[i]->entry.data();
        auto* pageSwitch = Tab(kDeviceSwitch);
        auto* powerSwitch = Tab(kPowerSwitch);
        if (entry == nullptr || pageSwitch == nullptr || powerSwitch == nullptr) continue;
        entry->BindPageTab(kDeviceSwitch, int(pageSwitch->Items().indexOf(pages_[i]->page.data())));
        entry->SetPowerTab(entry->PowerTabName(),
                           int(powerSwitch->Items().indexOf(pages_[i]->power.data())));
    }
}

// --- Lookups ---

CDeviceOptionUI* CMainWnd::Entry(int index) const {
    if (index < 0 || size_t(index) >= pages_.size()) return nullptr;
    return pages_[size_t(index)]->entry.data();
}

int CMainWnd::EntryCount() const { return int(pages_.size()); }

CDevicePageUI* CMainWnd::PageOfEntry(int index) const {
    if (index < 0 || size_t(index) >= pages_.size()) return nullptr;
    return pages_[size_t(index)]->page.data();
}

CDevicePageUI* CMainWnd::PageOfFamily(int familyIndex) const {
    const int index = EntryIndexOfFamily(familyIndex);
    return index >= 0 ? PageOfEntry(index) : nullptr;
}

int CMainWnd::EntryIndexOf(const ManagedDevice* page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i]->page && &pages_[i]->page->Device() == page) return int(i);
    }
    return -1;
}

int CMainWnd::EntryIndexOfFamily(int familyIndex) const {
    // The entry of a family is looked up by its page, so the family index need not equal
    // the entry's position.
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i]->page && pages_[i]->page->Device().FamilyIndex() == familyIndex) {
            return int(i);
        }
    }
    return -1;
}

// --- The list ---

void CMainWnd::SelectDeviceEntry(int index, bool show, bool current) {
    if (CDeviceOptionUI* entry = Entry(index)) {
        entry->SetVisible(show);
        if (current) {
            const QString tabName = entry->PageTabName();
            const int tabIndex = entry->PageTabIndex();
            if (tabName.isEmpty() || tabIndex < 0) return;
            if (ui::CTabLayoutUI* tabs = Tab(tabName)) tabs->SelectItem(tabIndex);
            if (!ShowEntryPower(entry)) return;
        }
        entry->SetCurrent(current);
    }
    UpdateAfterListChange();
}

bool CMainWnd::ShowEntryPower(CDeviceOptionUI* entry) {
    if (entry->PowerTabName().isEmpty()) return false;
    ui::CTabLayoutUI* power = Tab(entry->PowerTabName());
    if (power == nullptr) return false;
    if (entry->PowerTabIndex() < 0) {
        power->hide();
    } else {
        power->show();
        power->SelectItem(entry->PowerTabIndex());
    }
    return true;
}

void CMainWnd::UpdateAfterListChange() {
    int shown = 0;
    int ticked = 0;
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (!entry->IsShown()) continue;
        ++shown;
        if (entry->IsSyncTicked()) ++ticked;
    }
    if (shown == 0) {
        if (ui::CTabLayoutUI* power = Tab(kPowerSwitch)) {
            power->SelectItem(0);
        }
        if (ui::CTabLayoutUI* pages = Tab(kDeviceSwitch)) pages->SelectItem(0);
    }
    RefreshNoDeviceHint();
    if (shown < 2) {
        // Lighting synchronisation needs two devices.
        for (const auto& list : pageLists_) {
            for (CDevicePageUI* page : list) page->Device().MainLink().SetLightingSync(false);
        }
    }
    if (ticked < 2) {
        for (int i = 0; i < EntryCount(); ++i) Entry(i)->SetSyncTicked(false);
    }
}

void CMainWnd::SelectStartEntry() {
    // The scan's first pass has handled every device plugged in at start, in whatever order
    // the system listed them; now the start family takes the selection.
    const int index = EntryIndexOfFamily(kStartFamily);
    CDeviceOptionUI* entry = Entry(index);
    CDevicePageUI* page = PageOfEntry(index);
    if (entry == nullptr || page == nullptr) return;
    if (entry->IsShown()) {
        if (!entry->IsCurrent()) SelectDeviceEntry(index, true, true);
        return;
    }
    // Behind its receiver the entry shows once the link check hears the device.
    DeviceLink& link = page->Device().MainLink();
    startEntryAwaited_ = link.IsConnected() && link.IsReceiver();
}

void CMainWnd::DeactivateDeviceEntry(int index) {
    CDeviceOptionUI* entry = Entry(index);
    if (entry == nullptr) return;
    int next = -1;
    if (entry->IsShown() && entry->IsCurrent()) {
        CloseSecondaryWindows();
        for (int i = 0; i < EntryCount(); ++i) {
            if (i != index && Entry(i)->IsShown()) {
                next = i;
                break;
            }
        }
    }
    SelectDeviceEntry(index, false, false);
    if (next >= 0) SelectDeviceEntry(next, true, true);
}

void CMainWnd::OnShowEntryMessage(int familyIndex, int lParam) {
    const int index = EntryIndexOfFamily(familyIndex);
    if (lParam == 0) {
        DeactivateDeviceEntry(index);
    } else if (lParam == 1) {
        CDeviceOptionUI* entry = Entry(index);
        if (entry == nullptr) return;
        const bool allHidden = !AnyDeviceConnected();
        const bool awaited = startEntryAwaited_ && familyIndex == kStartFamily;
        if (awaited) startEntryAwaited_ = false;
        if (!entry->IsShown()) SelectDeviceEntry(index, true, allHidden || awaited);
    }
}

void CMainWnd::OnDeviceEntrySelected() {
    int index = -1;
    for (int i = 0; i < EntryCount(); ++i) {
        if (Entry(i)->IsCurrent()) {
            index = i;
            break;
        }
    }
    if (index < 0) return;
    currentKeyboardIndex_ = index - int(pageLists_[kMousePages].size());
    currentMouseIndex_ = index - int(pageLists_[kKeyboardPages].size());
    ShowEntryPower(Entry(index));
}

void CMainWnd::SelectPreviousDevice() {
    startEntryAwaited_ = false;  // the user chose
    int remembered = -1;
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (entry->IsShown() && entry->IsCurrent()) {
            if (remembered >= 0) SelectDeviceEntry(remembered, true, true);
            return;
        }
        if (entry->IsShown()) remembered = i;
    }
}

void CMainWnd::SelectNextDevice() {
    startEntryAwaited_ = false;  // the user chose
    bool afterCurrent = false;
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (afterCurrent && entry->IsShown()) {
            SelectDeviceEntry(i, true, true);
            return;
        }
        if (entry->IsShown() && entry->IsCurrent()) afterCurrent = true;
    }
}

CDevicePageUI* CMainWnd::CurrentDevicePage() const {
    for (int i = 0; i < EntryCount(); ++i) {
        CDeviceOptionUI* entry = Entry(i);
        if (entry->IsShown() && entry->IsCurrent()) return PageOfEntry(i);
    }
    return nullptr;
}

bool CMainWnd::AnyDeviceConnected(DeviceListCount* count) const {
    DeviceListCount c;
    for (int i = 0; i < EntryCount(); ++i) {
        if (!Entry(i)->IsShown()) continue;
        if (c.firstShown < 0) c.firstShown = i;
        ++c.shownCount;
    }
    if (count != nullptr) *count = c;
    return c.shownCount > 0;
}

void CMainWnd::RefreshNoDeviceHint() {
    DeviceListCount count;
    const bool any = AnyDeviceConnected(&count);
    if (QWidget* hint = FindControl(kNoDeviceHint)) hint->setVisible(!any);
    // The hint is see-through (the window's background shows behind it): no page under it.
    if (QWidget* pages = FindControl(kDeviceSwitch)) pages->setVisible(any);
    // Nothing to report or to step through without devices.
    if (!any) {
        if (QWidget* power = FindControl(kPowerSwitch)) power->hide();
    }
    for (const char* name : {"device_select_prev", "device_select_next"}) {
        if (QWidget* arrow = FindControl(QLatin1String(name))) {
            arrow->setEnabled(count.shownCount >= 2);
        }
    }
}

// --- DeviceManagerHost ---

ManagedDevice* CMainWnd::FindDevicePage(const SupportedDevice& record) {
    for (const auto& slot : pages_) {
        if (slot->page && slot->page->Device().DeviceRecord() == record) {
            return &slot->page->Device();
        }
    }
    return nullptr;
}

bool CMainWnd::HasListEntry(ManagedDevice* page) { return EntryIndexOf(page) >= 0; }

void CMainWnd::SelectDeviceEntry(ManagedDevice* page) {
    const int index = EntryIndexOf(page);
    if (index < 0) return;
    bool otherSelected = false;
    for (int i = 0; i < EntryCount(); ++i) {
        if (i != index && Entry(i)->IsCurrent()) otherSelected = true;
    }
    SelectDeviceEntry(index, true, !otherSelected);
}

void CMainWnd::DeactivateDeviceEntry(ManagedDevice* page) {
    // The manager calls this when the device's last path is gone: nothing is left for the
    // entry's timers to watch, and a receiver watch still armed would bring the entry back.
    const int index = EntryIndexOf(page);
    if (CDeviceOptionUI* entry = Entry(index)) entry->StopTimers();
    // Its preview has nothing to show until the device is back and read out again.
    if (CDevicePageUI* shown = PageOfEntry(index)) shown->Device().StopAnimation();
    if (page->FamilyIndex() == kStartFamily) startEntryAwaited_ = false;
    DeactivateDeviceEntry(index);
}

void CMainWnd::StartEntryTimer(ManagedDevice* page, int timerId, int periodMs) {
    if (CDeviceOptionUI* entry = Entry(EntryIndexOf(page))) entry->StartTimer(timerId, periodMs);
}

void CMainWnd::ShowDeviceEntry(int familyIndex, bool show) {
    OnShowEntryMessage(familyIndex, show ? 1 : 0);
}

}  // namespace rerov::shell
