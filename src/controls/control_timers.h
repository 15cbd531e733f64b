#pragma once

#include <QEvent>

class QObject;

namespace rerov::ui {

/// Delivered to a control on the UI thread each time one of its timers fires.
class ControlTimerEvent : public QEvent {
  public:
    /// An event for timer `id`.
    explicit ControlTimerEvent(int id) : QEvent(EventType()), id_(id) {}
    /// The id the timer was armed with.
    int TimerId() const { return id_; }
    /// The event type of every control timer event.
    static QEvent::Type EventType();

  private:
    int id_;
};

/// Arms timer `id` of `control` with a period in milliseconds; it fires every period until
/// killed. Arming an armed id restarts it with the new period. The timer belongs to the control
/// and ends with it. Returns false for a null control or a negative period. UI thread only.
bool SetControlTimer(QObject* control, int id, int periodMs);

/// Stops timer `id` of `control`; returns false when it was not armed.
bool KillControlTimer(QObject* control, int id);

/// Stops every timer of `control`.
void KillAllControlTimers(QObject* control);

/// True while timer `id` of `control` is armed.
bool IsControlTimerArmed(const QObject* control, int id);

/// The period in milliseconds timer `id` of `control` was last armed with while it is armed;
/// -1 when it is not armed.
int ControlTimerPeriod(const QObject* control, int id);

}  // namespace rerov::ui
