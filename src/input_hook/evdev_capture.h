#pragma once
// EvdevCapture: the desktop-wide capture from the kernel's input devices, for sessions
// without X11 (Wayland) where the user may read /dev/input. While started it holds a device
// grab (EVIOCGRAB) on every keyboard node, so no other program gets a key, and reads the
// buttons of every mouse node without holding them. The lock keys are passed on through a
// virtual keyboard so they still toggle. Stop releases the grabs; the kernel releases them
// when the program ends, however it ends (the grab belongs to the open file). Nodes are read
// on the thread that owns the object, from the Qt event loop (socket notifiers) or by
// DispatchPending, like the X11 capture: no thread to own.

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "input_hook/capture_backend.h"
#include "input_hook/evdev_events.h"

class QSocketNotifier;

namespace rerov::input_hook {

class LockKeyInjector;

class EvdevCapture : public QObject, public CaptureBackend {
    Q_OBJECT
  public:
    /// Accepts a node by its device name (tests limit the capture to their virtual devices).
    using NodeFilter = std::function<bool(const std::string& deviceName)>;

    /// A capture of the nodes in `directory`, or null when no keyboard node there can be
    /// read (no permission, or no keyboard).
    static std::unique_ptr<EvdevCapture> Open(std::string directory = "/dev/input",
                                              NodeFilter filter = {});
    ~EvdevCapture() override;

    std::string Name() const override { return "evdev"; }
    bool IsDesktopWide() const override { return true; }
    bool Start() override;
    void Stop() override;
    bool IsStarted() const override { return started_; }

    /// Reads and reports every record waiting on the nodes (the notifiers do this by
    /// themselves; tests call it).
    void DispatchPending();
    /// True while a lock key read from a keyboard is passed on to the desktop.
    bool PassesLockKeys() const { return injector_ != nullptr; }

  private:
    struct Node {
        int fd = -1;
        bool keyboard = false;
        EvdevDecoder decoder;
        QSocketNotifier* notifier = nullptr;
    };
    EvdevCapture() = default;
    void OpenNodes();
    void CloseNodes();
    enum class ReadResult { Open, Gone, Closed };
    /// Gone: the node was unplugged or is broken. Closed: a handler stopped the capture, so
    /// `node` no longer exists.
    ReadResult ReadNode(Node& node);

    std::string directory_;
    NodeFilter filter_;
    std::vector<std::unique_ptr<Node>> nodes_;
    std::unique_ptr<LockKeyInjector> injector_;
    bool started_ = false;
    bool stopping_ = false;
    // Counts CloseNodes calls: a read that sees it change knows its node is gone.
    unsigned generation_ = 0;
};

}  // namespace rerov::input_hook
