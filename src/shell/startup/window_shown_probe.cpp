#include "shell/startup/window_shown_probe.h"

#include <QEvent>
#include <QLoggingCategory>
#include <chrono>

Q_DECLARE_LOGGING_CATEGORY(lcStartup)

namespace rerov::startup {

qint64 SteadyNowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

WindowShownProbe::WindowShownProbe(QWidget* window, ipc::StartupTimes* times)
    : QObject(window), window_(window), times_(times) {
    window->installEventFilter(this);
}

bool WindowShownProbe::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || times_->windowShownUs >= 0) return false;
    if (event->type() == QEvent::Hide) {
        candidate_ = false;
    } else if (event->type() == QEvent::Paint && !candidate_) {
        candidate_ = true;
        // Runs after whatever was queued before it, a pending hide included.
        QMetaObject::invokeMethod(this, &WindowShownProbe::Confirm, Qt::QueuedConnection);
    }
    return false;
}

void WindowShownProbe::Confirm() {
    if (!candidate_ || !window_ || !window_->isVisible() || times_->windowShownUs >= 0) return;
    times_->windowShownUs = SteadyNowUs();
    window_->removeEventFilter(this);
    qCInfo(lcStartup, "window shown %.1f ms after start",
           static_cast<double>(times_->windowShownUs - times_->mainEnteredUs) / 1000.0);
}

}  // namespace rerov::startup
