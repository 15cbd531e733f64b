#include "shell/device_option_ui.h"

#include <QLoggingCategory>

#include "controls/control_lookup.h"
#include "controls/control_timers.h"
#include "controls/language_texts.h"
#include "controls/notification.h"
#include "device_link/device_manager.h"
#include "shell/entry_page.h"

Q_LOGGING_CATEGORY(lcEntry, "rerov.entry", QtWarningMsg)

namespace rerov::shell {
namespace {

const QString kIconFolder = QStringLiteral("common/device_ico/");

struct IconRow {
    int kind;
    int role;  // -1: any role
    const char* stem;
};
// A null stem keeps the entry's images; kinds not listed get "unknow_device".
constexpr IconRow kIconRows[] = {
    {1, -1, "kb_device"}, {2, -1, "ms_device"}, {3, 0, "hard_mp_device"}, {3, 1, "soft_mp_device"},
    {3, -1, nullptr},     {4, -1, "hd_device"}, {7, -1, "hd_device"},     {5, -1, "hub_device"},
};
constexpr const char* kUnknownStem = "unknow_device";

}  // namespace

QString DeviceIconStem(int kind, int role) {
    for (const IconRow& row : kIconRows) {
        if (row.kind != kind || (row.role >= 0 && row.role != role)) continue;
        return row.stem != nullptr ? QString::fromLatin1(row.stem) : QString();
    }
    return QString::fromLatin1(kUnknownStem);
}

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {
    const QString stem = kIconFolder + QLatin1String(kUnknownStem);
    syncSelectedImage_ = stem + QStringLiteral("_synchro_selected.png");
    syncNormalImage_ = stem + QStringLiteral("_synchro_normal.png");
    selectedImage_ = stem + QStringLiteral("_selected.png");
    normalImage_ = stem + QStringLiteral("_normal.png");
}

CDeviceOptionUI::~CDeviceOptionUI() { ui::KillAllControlTimers(this); }

ui::COptionUI* CDeviceOptionUI::DeviceOption() {
    if (deviceOption_.isNull()) {
        deviceOption_ = ui::FindSubControl<ui::COptionUI>(this, QStringLiteral("device_select"));
    }
    return deviceOption_.data();
}

ui::COptionUI* CDeviceOptionUI::SyncOption() {
    if (syncOption_.isNull()) {
        syncOption_ =
            ui::FindSubControl<ui::COptionUI>(this, QStringLiteral("synchro_device_select"));
    }
    return syncOption_.data();
}

QWidget* CDeviceOptionUI::NameLabel() {
    if (nameLabel_.isNull()) {
        nameLabel_ = ui::FindSubControlByName(this, QStringLiteral("device_select_name"));
    }
    return nameLabel_.data();
}

void CDeviceOptionUI::DoInit() {
    if (QWidget* name = NameLabel()) name->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CDeviceOptionUI::SetDeviceIcons(int kind, int role) {
    kind_ = kind;
    role_ = role;
    const QString stem = DeviceIconStem(kind, role);
    if (stem.isEmpty()) return;
    const QString base = kIconFolder + stem;
    syncSelectedImage_ = base + QStringLiteral("_synchro_selected.png");
    syncNormalImage_ = base + QStringLiteral("_synchro_normal.png");
    selectedImage_ = base + QStringLiteral("_selected.png");
    normalImage_ = base + QStringLiteral("_normal.png");
    if (ui::COptionUI* option = DeviceOption()) {
        option->SetAttribute(QStringLiteral("normalimage"), normalImage_);
        option->SetAttribute(QStringLiteral("disabledimage"), normalImage_);
        option->SetAttribute(QStringLiteral("selectedimage"), selectedImage_);
        ui::LanguageTexts::BindText(option, "toolTip", stem + QStringLiteral("_name_text"));
    }
}

void CDeviceOptionUI::SetEntryName(const QString& text) {
    if (auto* label = qobject_cast<ui::CControlUI*>(NameLabel())) label->SetText(text);
}

void CDeviceOptionUI::SetEntryNameKey(const QString& key) {
    if (QWidget* label = NameLabel()) ui::LanguageTexts::BindText(label, "text", key);
}

void CDeviceOptionUI::StopTimers() { ui::KillAllControlTimers(this); }

void CDeviceOptionUI::BindPageTab(const QString& name, int index) {
    if (ui::COptionUI* option = DeviceOption()) {
        option->BindTabLayoutName(name);
        option->BindTabIndex(index);
    }
}

int CDeviceOptionUI::PageTabIndex() {
    ui::COptionUI* option = DeviceOption();
    return option != nullptr ? option->GetBindTabLayoutIndex() : -1;
}

QString CDeviceOptionUI::PageTabName() {
    ui::COptionUI* option = DeviceOption();
    return option != nullptr ? option->GetBindTabLayoutName() : QString();
}

void CDeviceOptionUI::SetPowerTab(const QString& name, int index) {
    if (name.isEmpty()) return;
    powerTabName_ = name;
    if (index >= 0) powerTabIndex_ = index;
}

void CDeviceOptionUI::SetGroup(const QString& name) {
    if (ui::COptionUI* option = DeviceOption()) option->SetGroup(name);
}

void CDeviceOptionUI::SetPage(EntryPage* page) {
    page_ = page;
    if (page != nullptr) keyLights_ = page->KeyLightContainer();
}

void CDeviceOptionUI::ClearPage() {
    StopTimers();
    page_ = nullptr;
    keyLights_ = nullptr;
}

void CDeviceOptionUI::SetVisible(bool visible) {
    shown_ = visible;
    setVisible(visible);
}

void CDeviceOptionUI::ApplyOptionImages(bool synced) {
    ui::COptionUI* option = DeviceOption();
    if (option == nullptr) return;
    option->SetAttribute(QStringLiteral("normalimage"), synced ? syncNormalImage_ : normalImage_);
    option->SetAttribute(QStringLiteral("selectedimage"),
                         synced ? syncSelectedImage_ : selectedImage_);
}

void CDeviceOptionUI::ShowSyncOption(bool show) {
    ui::COptionUI* sync = SyncOption();
    if (sync == nullptr) return;
    sync->setVisible(show);
    ApplyOptionImages(sync->IsSelected());
}

void CDeviceOptionUI::SetSyncTicked(bool ticked) {
    ui::COptionUI* sync = SyncOption();
    if (sync == nullptr) return;
    sync->Selected(ticked, true);
    ApplyOptionImages(ticked);
}

bool CDeviceOptionUI::IsSyncTicked() {
    ui::COptionUI* sync = SyncOption();
    return sync != nullptr && sync->IsSelected();
}

void CDeviceOptionUI::SetCurrent(bool current) {
    if (ui::COptionUI* option = DeviceOption()) option->Selected(current, true);
}

bool CDeviceOptionUI::IsCurrent() {
    ui::COptionUI* option = DeviceOption();
    return option != nullptr && option->IsSelected();
}

void CDeviceOptionUI::StartLinkCheck() {
    arrivalRead_ = false;
    StartTimer(kTimerLinkCheck, kLinkCheckAfterConnectMs);
}

void CDeviceOptionUI::StartTimer(int id, int periodMs) { ui::SetControlTimer(this, id, periodMs); }

void CDeviceOptionUI::RequestSync(int delayMs) {
    // The entry's timers live on its own thread; queued, the caller never waits for it.
    QMetaObject::invokeMethod(
        this, [this, delayMs] { StartTimer(kTimerSyncRequest, delayMs); }, Qt::QueuedConnection);
}

bool CDeviceOptionUI::Activate() {
    if (!ui::CHorizontalLayoutUI::Activate()) return false;
    ui::SendNotify(this, ui::notify_type::kSelectChanged);
    return true;
}

bool CDeviceOptionUI::Connected() {
    return page_ != nullptr && page_->Device().MainLink().IsConnected();
}

bool CDeviceOptionUI::OnReceiver() {
    return page_ != nullptr && page_->Device().MainLink().IsReceiver();
}

bool CDeviceOptionUI::HasPowerDisplay() {
    return page_ != nullptr && page_->Device().HasPowerDisplay();
}

int CDeviceOptionUI::FamilyIndex() { return page_ != nullptr ? page_->Device().FamilyIndex() : -1; }

void CDeviceOptionUI::OnControlTimer(int id) {
    // Every timer fires once per arming; the handlers re-arm what keeps running.
    ui::KillControlTimer(this, id);
    if (page_ == nullptr) return;
    switch (id) {
        case kTimerLightFrame:
            OnLightFrame();
            break;
        case kTimerLinkCheck:
            OnLinkCheck();
            break;
        case kTimerSyncRequest:
            page_->OnSyncRequest();
            break;
        case kTimerPowerStatus:
            OnPowerStatus();
            break;
        case kTimerReceiverWatch:
            OnReceiverWatch();
            break;
        default:
            break;
    }
}

void CDeviceOptionUI::OnLightFrame() {
    // The page repaints its key picture itself when a frame changes a light; repainting it
    // here on every tick kept an idle window busy.
    page_->StreamLightFrame();
    keyLights_ = page_->KeyLightContainer();
    if (Connected()) StartTimer(kTimerLightFrame, kLightFrameRepeatMs);
}

void CDeviceOptionUI::OnLinkCheck() {
    if (OnReceiver() && Connected()) {
        if (!page_->IsReceiverLinkAlive()) {
            if (shown_) {
                // The window hides the entry and, when it was the current one, moves the
                // selection on; hiding it first would leave the selection on a hidden entry.
                emit showEntryRequested(FamilyIndex(), false);
                SetVisible(false);
            }
            StartTimer(kTimerLinkCheck, kLinkCheckRetryMs);
            return;
        }
        emit showEntryRequested(FamilyIndex(), true);
    }
    if (page_ == nullptr) return;  // the window may have dropped the page meanwhile
    page_->ReadAll();
    arrivalRead_ = true;
    StartTimer(kTimerLightFrame, kLightFrameAfterLinkCheckMs);
    if (HasPowerDisplay() && Connected())
        StartTimer(kTimerPowerStatus, kPowerStatusAfterLinkCheckMs);
    if (OnReceiver() && Connected()) StartTimer(kTimerReceiverWatch, kReceiverWatchFirstMs);
}

void CDeviceOptionUI::OnPowerStatus() {
    page_->Device().ReadPowerStatus();
    if (HasPowerDisplay()) StartTimer(kTimerPowerStatus, kPowerStatusRepeatMs);
}

void CDeviceOptionUI::OnReceiverWatch() {
    if (OnReceiver()) {
        const bool alive = page_->IsReceiverLinkAlive();
        if (alive && !shown_) {
            emit showEntryRequested(FamilyIndex(), true);
            if (page_ != nullptr && HasPowerDisplay()) page_->Device().ReadPowerStatus();
            qCDebug(lcEntry, "2.4gcesvdfherhue  12312423 123342341");
        } else if (!alive && shown_) {
            emit showEntryRequested(FamilyIndex(), false);
            qCDebug(lcEntry, "2.4gcesvdfherhue");
        }
    } else if (Connected()) {
        qCDebug(lcEntry, "2.4gcesvdfherhue  12312423");
    }
    if (OnReceiver() && Connected()) StartTimer(kTimerReceiverWatch, kReceiverWatchRepeatMs);
}

}  // namespace rerov::shell
