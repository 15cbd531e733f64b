#pragma once
// Follows the system's suspend and resume through login1's PrepareForSleep signal on the
// system bus. Without a system bus (or without QtDBus) it stays silent.

#include <QObject>

namespace rerov::shell {

class SleepWatch : public QObject {
    Q_OBJECT
  public:
    /// Subscribes to PrepareForSleep when a system bus is reachable.
    explicit SleepWatch(QObject* parent = nullptr);
    /// True when the subscription is in place.
    bool IsWatching() const { return watching_; }

  signals:
    /// true: the system is about to sleep; false: it has woken up.
    void prepareForSleep(bool suspending);

  private slots:
    void OnPrepareForSleep(bool suspending);

  private:
    bool watching_ = false;
};

}  // namespace rerov::shell
