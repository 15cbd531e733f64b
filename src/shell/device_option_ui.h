#pragma once
// A device list entry: icon and name of a device page, the selection of its page and power
// display, and the page's periodic work on the UI thread through the entry's control timers.

#include <QPointer>
#include <QString>

#include "controls/option_ui.h"
#include "device_link/entry_timers.h"
#include "devices/device_list_entry.h"

namespace rerov::shell {

class EntryPage;

/// The list entry ("DeviceOption"), built from the family's list-entry layout with the option
/// "device_select", the label "device_select_name" and the option "synchro_device_select".
/// Operations whose sub-control is missing do nothing. UI thread only.
class CDeviceOptionUI : public ui::CHorizontalLayoutUI, public DeviceListEntry {
    Q_OBJECT
  public:
    /// An entry with the unknown-device images and no page.
    explicit CDeviceOptionUI(QWidget* parent = nullptr);
    ~CDeviceOptionUI() override;
    QString GetClass() const override { return QStringLiteral("DeviceOption"); }

    /// Stores kind and role and sets the device option's images and tool-tip by kind.
    void SetDeviceIcons(int kind, int role);
    /// The stored kind.
    int Kind() const { return kind_; }
    /// The stored role.
    int Role() const { return role_; }
    /// The selected image while the sync option is ticked.
    QString SyncSelectedImage() const { return syncSelectedImage_; }
    /// The normal image while the sync option is ticked.
    QString SyncNormalImage() const { return syncNormalImage_; }
    /// The selected image without the sync tick.
    QString SelectedImage() const { return selectedImage_; }
    /// The normal image without the sync tick.
    QString NormalImage() const { return normalImage_; }

    /// Text of "device_select_name".
    void SetEntryName(const QString& text);
    /// Shows the text of language key `key` in "device_select_name", following a change
    /// of language.
    void SetEntryNameKey(const QString& key);
    /// Binds the device option to item `index` of the tab layout `name`.
    void BindPageTab(const QString& name, int index);
    /// The bound page index (-1 without device option).
    int PageTabIndex();
    /// The bound tab layout name (empty without device option).
    QString PageTabName();
    /// Stores the power container name (when not empty) and the index (when 0 or more).
    void SetPowerTab(const QString& name, int index);
    /// The power container's name ("device_power_switch"), empty when unset.
    QString PowerTabName() const { return powerTabName_; }
    /// The power display's index in its container; -1 when the page has none.
    int PowerTabIndex() const { return powerTabIndex_; }
    /// Puts the device option into an option group.
    void SetGroup(const QString& name);

    /// The page the entry stands for, or null.
    EntryPage* Page() const { return page_; }
    /// Stores the page (not owned; it outlives the entry's timers: see ClearPage).
    void SetPage(EntryPage* page);
    /// Forgets the page and stops every timer (before the page goes away).
    void ClearPage();
    /// Stops every timer of the entry (its device is gone; an arrival starts them again).
    void StopTimers();
    /// Stores the page's key-light container.
    void SetKeyLightContainer(QWidget* control) { keyLights_ = control; }
    /// The stored key-light container.
    QWidget* KeyLightContainer() const { return keyLights_; }

    /// Stores the shown flag, then shows or hides the entry.
    void SetVisible(bool visible);
    /// The shown flag.
    bool IsShown() const { return shown_; }
    /// True once the page has read the connected device and sent it its profile (the link
    /// check after a connect); false from the next connect until then.
    bool ArrivalRead() const { return arrivalRead_; }
    /// Shows or hides the sync option and sets the device option's images by its tick.
    void ShowSyncOption(bool show);
    /// Ticks or unticks the sync option and sets the device option's images accordingly.
    void SetSyncTicked(bool ticked);
    /// Whether the sync option is ticked (false without one).
    bool IsSyncTicked();
    /// Selects or deselects the device option (with notification).
    void SetCurrent(bool current);
    /// Whether the device option is selected (false without one).
    bool IsCurrent();
    /// Arms the link check (timer 1001) as an arrival on the cable does.
    void StartLinkCheck();
    /// Arms one of the entry's timers.
    void StartTimer(int id, int periodMs);
    /// Arms the sync timer from any thread (the device's input threads ask through this).
    void RequestSync(int delayMs) override;
    /// The base activation; on success sends "selectchanged" from the entry.
    bool Activate() override;

    /// The device option, or null.
    ui::COptionUI* DeviceOption();

  signals:
    /// The entry asks the window to show (true) or hide its family's entry (message 3331).
    /// Emitted synchronously; the receiver runs before the timer handler goes on.
    void showEntryRequested(int familyIndex, bool show);

  protected:
    void OnControlTimer(int id) override;
    /// Lets clicks on the name reach the device option beneath it.
    void DoInit() override;

  private:
    ui::COptionUI* SyncOption();
    QWidget* NameLabel();
    void ApplyOptionImages(bool synced);
    void OnLightFrame();
    void OnLinkCheck();
    void OnPowerStatus();
    void OnReceiverWatch();
    bool Connected();
    bool OnReceiver();
    bool HasPowerDisplay();
    int FamilyIndex();

    QPointer<QWidget> keyLights_;
    EntryPage* page_ = nullptr;
    QPointer<ui::COptionUI> syncOption_;
    QPointer<ui::COptionUI> deviceOption_;
    QPointer<QWidget> nameLabel_;
    int kind_ = 0;
    int role_ = 0;
    QString syncSelectedImage_;
    QString syncNormalImage_;
    QString selectedImage_;
    QString normalImage_;
    QString powerTabName_;
    int powerTabIndex_ = -1;
    bool shown_ = true;
    bool arrivalRead_ = false;
};

/// The icon stem of a device kind and role ("kb_device"), empty for a mouse pad of another
/// role (it keeps its images).
QString DeviceIconStem(int kind, int role);

}  // namespace rerov::shell
