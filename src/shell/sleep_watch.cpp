#include "shell/sleep_watch.h"

#ifdef REROV_HAVE_QTDBUS
#include <QDBusConnection>
#endif

namespace rerov::shell {

SleepWatch::SleepWatch(QObject* parent) : QObject(parent) {
#ifdef REROV_HAVE_QTDBUS
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    watching_ = bus.connect(QStringLiteral("org.freedesktop.login1"),
                            QStringLiteral("/org/freedesktop/login1"),
                            QStringLiteral("org.freedesktop.login1.Manager"),
                            QStringLiteral("PrepareForSleep"), this, SLOT(OnPrepareForSleep(bool)));
#endif
}

void SleepWatch::OnPrepareForSleep(bool suspending) { emit prepareForSleep(suspending); }

}  // namespace rerov::shell
