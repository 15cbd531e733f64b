#pragma once

#include <QObject>
#include <QVector>

#include "controls/notification.h"

class QAbstractButton;
class QAbstractSlider;
class QComboBox;

namespace rerov::ui {

/// Turns the signals of every named control below a window into Notify(type, sender) calls.
/// Custom controls reach it through SendNotify; standard Qt widgets are connected by Attach.
/// UI thread only.
class NotifyBridge : public QObject {
    Q_OBJECT
  public:
    /// Installs the bridge on `window`: controls below it find the bridge through SendNotify.
    explicit NotifyBridge(QWidget* window);
    ~NotifyBridge() override;

    /// The bridge installed on `widget` or its nearest ancestor, or null.
    static NotifyBridge* Find(const QWidget* widget);

    /// Adds a receiver; notifications are delivered in the order receivers were added. A receiver
    /// removes itself before it is destroyed.
    void AddNotifier(INotifyUI* notifier);
    /// Removes a receiver; safe to call from inside Notify.
    void RemoveNotifier(INotifyUI* notifier);

    /// Connects the signals of every named standard widget in the subtree of `root` (root
    /// included). Widgets added below it later are connected when first polished (before they
    /// are shown); a widget is connected only once.
    void Attach(QWidget* root);

    /// Delivers `msg` to every receiver unless its sender is silenced.
    void Dispatch(const Notification& msg);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Connect(QWidget* widget);
    void ConnectButton(QAbstractButton* button);
    void ConnectSlider(QAbstractSlider* slider);
    void ConnectCombo(QComboBox* combo);

    QWidget* window_;
    QVector<INotifyUI*> notifiers_;
};

/// While alive, notifications sent by `control` are dropped: selections made by code use it.
class NotifySilence {
  public:
    /// Silences `control` until destroyed.
    explicit NotifySilence(QWidget* control);
    ~NotifySilence();
    NotifySilence(const NotifySilence&) = delete;
    NotifySilence& operator=(const NotifySilence&) = delete;

    /// True while at least one NotifySilence is alive for `control`.
    static bool IsSilenced(const QWidget* control);

  private:
    QPointer<QWidget> control_;
};

/// Selects a combo item without raising "itemselect".
void SelectItemSilently(QComboBox* combo, int index);
/// Checks or unchecks a button/option without raising "click" or "selectchanged".
void SetCheckedSilently(QAbstractButton* button, bool checked);
/// Sets a slider value without raising "valuechanged".
void SetValueSilently(QAbstractSlider* slider, int value);

}  // namespace rerov::ui
