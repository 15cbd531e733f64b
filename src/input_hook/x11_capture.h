#pragma once
// X11Capture: the desktop-wide capture on an X11 display. Its own connection holds a
// keyboard grab while started (every key of the desktop comes here; the X server still
// toggles Caps, Num and Scroll Lock) and listens to XInput2 raw button events of the whole
// desktop. The grab belongs to that connection: Stop releases it, and the X server releases
// it when the connection ends, however the program ends. Events are read on the thread that
// owns the object, from the Qt event loop (a socket notifier) or by DispatchPending.

#include <QObject>
#include <memory>

#include "input_hook/capture_backend.h"

class QSocketNotifier;
struct _XDisplay;

namespace rerov::input_hook {

class X11Capture : public QObject, public CaptureBackend {
    Q_OBJECT
  public:
    /// A capture on `displayName` (null: $DISPLAY); null when the display cannot be opened
    /// or lacks XInput2.
    static std::unique_ptr<X11Capture> Open(const char* displayName = nullptr);
    ~X11Capture() override;

    std::string Name() const override { return "x11"; }
    bool IsDesktopWide() const override { return true; }
    bool Start() override;
    void Stop() override;
    bool IsStarted() const override { return started_; }

    /// Reads and reports every event waiting on the connection (the socket notifier does
    /// this by itself; tests call it after flushing their own input).
    void DispatchPending();

  private:
    X11Capture() = default;
    void HandleEvent(void* event);

    _XDisplay* display_ = nullptr;
    unsigned long root_ = 0;
    int xiOpcode_ = 0;
    bool started_ = false;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace rerov::input_hook
