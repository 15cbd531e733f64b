#include "input_hook/evdev_capture.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "input_hook/lock_key_injector.h"

namespace rerov::input_hook {

Q_LOGGING_CATEGORY(lcEvdev, "rerov.input_hook.evdev", QtWarningMsg)

namespace {

constexpr std::size_t kReadBatch = 64;
// A key held when the grab begins would be released only to the grab, and the desktop would
// keep it pressed: the grab waits for the keys to come up, this long at most.
constexpr int kReleaseWaitSteps = 50;
constexpr std::chrono::milliseconds kReleaseWaitStep{10};

bool AnyKeyDown(int fd) {
    std::array<std::uint8_t, (KEY_MAX + 8) / 8> state{};
    if (ioctl(fd, EVIOCGKEY(state.size()), state.data()) < 0) return false;
    for (std::uint8_t byte : state) {
        if (byte != 0) return true;
    }
    return false;
}

struct NodeInfo {
    std::string name;
    EvdevCapabilities caps;
};

std::optional<NodeInfo> QueryNode(int fd) {
    NodeInfo info;
    std::array<char, 256> name{};
    if (ioctl(fd, EVIOCGNAME(name.size() - 1), name.data()) < 0) return std::nullopt;
    info.name = name.data();
    info.caps.eventTypes.assign((EV_MAX + 8) / 8, 0);
    info.caps.keys.assign((KEY_MAX + 8) / 8, 0);
    if (ioctl(fd, EVIOCGBIT(0, info.caps.eventTypes.size()), info.caps.eventTypes.data()) < 0 ||
        ioctl(fd, EVIOCGBIT(EV_KEY, info.caps.keys.size()), info.caps.keys.data()) < 0) {
        return std::nullopt;
    }
    return info;
}

// The event nodes of `directory` ("event0" ...), by path.
std::vector<std::string> EventNodes(const std::string& directory) {
    std::vector<std::string> paths;
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return paths;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "event", 5) == 0) {
            paths.push_back(directory + "/" + entry->d_name);
        }
    }
    closedir(dir);
    return paths;
}

// Our own lock key device is never read: its keys would be passed on again.
bool Accepted(const NodeInfo& info, const EvdevCapture::NodeFilter& filter) {
    if (info.name == kLockKeyDeviceName) return false;
    return !filter || filter(info.name);
}

// Records queued before the grab reached the desktop already: they are not the capture's.
void DiscardQueued(int fd) {
    std::array<input_event, kReadBatch> events{};
    for (int batch = 0; batch < 1000; ++batch) {
        const ssize_t got = read(fd, events.data(), sizeof events);
        if (got < 0 && errno == EINTR) continue;
        if (got < static_cast<ssize_t>(sizeof events)) return;
    }
}

}  // namespace

std::unique_ptr<EvdevCapture> EvdevCapture::Open(std::string directory, NodeFilter filter) {
    bool keyboardReadable = false;
    for (const std::string& path : EventNodes(directory)) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        const auto info = QueryNode(fd);
        close(fd);
        if (info && Accepted(*info, filter) && IsKeyboardNode(info->caps)) {
            keyboardReadable = true;
            break;
        }
    }
    if (!keyboardReadable) return nullptr;
    std::unique_ptr<EvdevCapture> capture(new EvdevCapture());
    capture->directory_ = std::move(directory);
    capture->filter_ = std::move(filter);
    return capture;
}

EvdevCapture::~EvdevCapture() { Stop(); }

void EvdevCapture::OpenNodes() {
    for (const std::string& path : EventNodes(directory_)) {
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        const auto info = QueryNode(fd);
        const bool keyboard = info && IsKeyboardNode(info->caps);
        if (!info || !Accepted(*info, filter_) || (!keyboard && !IsMouseNode(info->caps))) {
            close(fd);
            continue;
        }
        auto node = std::make_unique<Node>();
        node->fd = fd;
        node->keyboard = keyboard;
        nodes_.push_back(std::move(node));
    }
}

void EvdevCapture::CloseNodes() {
    ++generation_;
    for (const auto& node : nodes_) {
        // Possibly inside its own signal (a handler stopped the capture): deleted later.
        if (node->notifier != nullptr) {
            node->notifier->setEnabled(false);
            node->notifier->deleteLater();
        }
        // Closing the node ends its grab too; the explicit release says so at once.
        if (node->keyboard) ioctl(node->fd, EVIOCGRAB, 0);
        close(node->fd);
    }
    nodes_.clear();
}

bool EvdevCapture::Start() {
    if (started_) return true;
    OpenNodes();
    for (int step = 0; step < kReleaseWaitSteps; ++step) {
        bool held = false;
        for (const auto& node : nodes_) held = held || (node->keyboard && AnyKeyDown(node->fd));
        if (!held) break;
        std::this_thread::sleep_for(kReleaseWaitStep);
    }
    bool anyKeyboard = false;
    for (const auto& node : nodes_) {
        if (!node->keyboard) continue;
        // Another program holding a keyboard (EBUSY) means its keys would not come here.
        if (ioctl(node->fd, EVIOCGRAB, 1) != 0) {
            qCWarning(lcEvdev) << "keyboard grab refused:" << std::strerror(errno);
            CloseNodes();
            return false;
        }
        anyKeyboard = true;
    }
    if (!anyKeyboard) {
        CloseNodes();
        return false;
    }
    for (const auto& node : nodes_) DiscardQueued(node->fd);
    // Never read: made after the nodes were opened, and skipped by its name anyway.
    injector_ = LockKeyInjector::Create();
    if (!injector_) qCWarning(lcEvdev) << "no uinput: the lock keys do not toggle while held";
    for (const auto& node : nodes_) {
        node->notifier = new QSocketNotifier(node->fd, QSocketNotifier::Read, this);
        Node* raw = node.get();
        connect(node->notifier, &QSocketNotifier::activated, this, [this, raw] {
            // A node that is gone is closed at the next Stop; until then it stays quiet.
            if (ReadNode(*raw) == ReadResult::Gone) raw->notifier->setEnabled(false);
        });
    }
    started_ = true;
    return true;
}

void EvdevCapture::Stop() {
    if (!started_ || stopping_) return;
    // What arrived while started belongs to the capture, even when not read yet. A handler
    // that stops the capture meanwhile is not followed into a second drain.
    stopping_ = true;
    DispatchPending();
    stopping_ = false;
    started_ = false;
    CloseNodes();
    injector_.reset();
}

void EvdevCapture::DispatchPending() {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        Node& node = *nodes_[i];
        if (node.notifier == nullptr || !node.notifier->isEnabled()) continue;
        const ReadResult result = ReadNode(node);
        if (result == ReadResult::Closed) return;
        if (result == ReadResult::Gone) node.notifier->setEnabled(false);
    }
}

EvdevCapture::ReadResult EvdevCapture::ReadNode(Node& node) {
    const unsigned generation = generation_;
    std::array<input_event, kReadBatch> events{};
    for (;;) {
        const ssize_t got = read(node.fd, events.data(), sizeof events);
        if (got < 0) {
            if (errno == EINTR) continue;
            // ENODEV: unplugged.
            return errno == EAGAIN ? ReadResult::Open : ReadResult::Gone;
        }
        // The kernel hands out whole records; anything else is a broken node.
        if (got == 0 || got % static_cast<ssize_t>(sizeof(input_event)) != 0) {
            return ReadResult::Gone;
        }
        const auto count = static_cast<std::size_t>(got) / sizeof(input_event);
        for (std::size_t i = 0; i < count; ++i) {
            const input_event& event = events[i];
            if (node.keyboard && event.type == EV_KEY && IsLockKey(event.code) && injector_) {
                if (!injector_->Inject(event.code, event.value)) {
                    qCWarning(lcEvdev) << "lock key not passed on";
                }
            }
            const DecodedEvent decoded = node.decoder.Decode({event.type, event.code, event.value});
            if (!started_) continue;
            if (decoded.key && onKey) onKey(*decoded.key);
            if (generation != generation_) return ReadResult::Closed;
            if (decoded.mouse && onMouse) onMouse(*decoded.mouse);
            if (generation != generation_) return ReadResult::Closed;
        }
        if (count < kReadBatch) return ReadResult::Open;
    }
}

}  // namespace rerov::input_hook
