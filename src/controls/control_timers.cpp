#include "controls/control_timers.h"

#include <QCoreApplication>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace rerov::ui {
namespace {

constexpr char kTimerSetName[] = "_rerov_control_timers";

// Owns the timers of one control, as a hidden child of it, so they die with the control.
class TimerSet : public QObject {
  public:
    explicit TimerSet(QObject* control) : QObject(control) { setObjectName(kTimerSetName); }

    void Arm(int id, int periodMs) {
        QTimer*& timer = timers_[id];
        if (timer == nullptr) {
            timer = new QTimer(this);
            QObject* control = parent();
            QObject::connect(timer, &QTimer::timeout, this, [control, id] {
                ControlTimerEvent event(id);
                QCoreApplication::sendEvent(control, &event);
            });
        }
        timer->start(periodMs);
    }

    bool Kill(int id) {
        const auto it = timers_.find(id);
        if (it == timers_.end()) return false;
        const bool wasActive = (*it)->isActive();
        (*it)->stop();
        return wasActive;
    }

    void KillAll() {
        for (QTimer* timer : std::as_const(timers_)) timer->stop();
    }

    bool IsArmed(int id) const {
        const auto it = timers_.constFind(id);
        return it != timers_.cend() && (*it)->isActive();
    }

    int Period(int id) const { return IsArmed(id) ? timers_.value(id)->interval() : -1; }

  private:
    QHash<int, QTimer*> timers_;
};

TimerSet* FindSet(const QObject* control) {
    // Only TimerSet carries this object name.
    return static_cast<TimerSet*>(
        control->findChild<QObject*>(kTimerSetName, Qt::FindDirectChildrenOnly));
}

}  // namespace

QEvent::Type ControlTimerEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool SetControlTimer(QObject* control, int id, int periodMs) {
    if (control == nullptr || periodMs < 0) return false;
    TimerSet* set = FindSet(control);
    if (set == nullptr) set = new TimerSet(control);
    set->Arm(id, periodMs);
    return true;
}

bool KillControlTimer(QObject* control, int id) {
    if (control == nullptr) return false;
    TimerSet* set = FindSet(control);
    return set != nullptr && set->Kill(id);
}

void KillAllControlTimers(QObject* control) {
    if (control == nullptr) return;
    if (TimerSet* set = FindSet(control)) set->KillAll();
}

bool IsControlTimerArmed(const QObject* control, int id) {
    if (control == nullptr) return false;
    const TimerSet* set = FindSet(control);
    return set != nullptr && set->IsArmed(id);
}

int ControlTimerPeriod(const QObject* control, int id) {
    if (control == nullptr) return -1;
    const TimerSet* set = FindSet(control);
    return set != nullptr ? set->Period(id) : -1;
}

}  // namespace rerov::ui
