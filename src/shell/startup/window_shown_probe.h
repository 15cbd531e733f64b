#pragma once
// Notes when the main window is first on screen: the first time it has been painted and is
// still visible once the events queued with that paint have run (start-up hides the window
// until the device scan's first pass, so an early paint that a queued hide undoes does not
// count).

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "shell/ipc/ipc_requests.h"

namespace rerov::startup {

// Microseconds on the steady clock (the clock of StartupTimes).
qint64 SteadyNowUs();

class WindowShownProbe : public QObject {
    Q_OBJECT
  public:
    // Watches `window` and writes times->windowShownUs once; both must outlive the probe's
    // use (the window owns the probe as its child).
    WindowShownProbe(QWidget* window, ipc::StartupTimes* times);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Confirm();

    QPointer<QWidget> window_;
    ipc::StartupTimes* times_;
    bool candidate_ = false;
};

}  // namespace rerov::startup
