#pragma once
// A tiny in-memory HidBackend for the HidDevice tests: nodes with a report descriptor,
// input reports pushed by the test to every open connection of a node, writes recorded,
// and the open modes and time-outs that reached the backend kept for the test to check.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_link/hid_backend.h"

namespace rerov::test {

class FakeNode;

class FakeConnection : public HidConnection {
  public:
    explicit FakeConnection(std::shared_ptr<FakeNode> node) : node_(std::move(node)) {}
    ~FakeConnection() override;

    uint16_t VendorId() const override;
    uint16_t ProductId() const override;
    uint16_t VersionNumber() const override { return 0x0105; }
    std::vector<uint8_t> ReportDescriptor() const override;

    int Write(const uint8_t* data, size_t length, int timeoutMs) override;

    int Read(uint8_t* buffer, size_t length, int timeoutMs) override;
    int ReadQueued(uint8_t* buffer, size_t length, int timeoutMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waitingReaders_;
        changed_.notify_all();
        auto ready = [&] { return cancelled_ || !queue_.empty(); };
        if (timeoutMs < 0) {
            changed_.wait(lock, ready);
        } else {
            changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
        }
        --waitingReaders_;
        if (cancelled_) return -1;
        if (queue_.empty()) return 0;
        std::vector<uint8_t> report = std::move(queue_.front());
        queue_.pop_front();
        const size_t n = std::min(length, report.size());
        std::copy_n(report.begin(), n, buffer);
        return static_cast<int>(n);
    }

    void Cancel() override {
        std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }

    void Deliver(const std::vector<uint8_t>& report) {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(report);
        changed_.notify_all();
    }

    // Blocks until a reader waits inside Read (no sleeping: the reader signals).
    void WaitForReader() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return waitingReaders_ > 0; });
    }

  private:
    std::shared_ptr<FakeNode> node_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queue_;
    bool cancelled_ = false;
    int waitingReaders_ = 0;
};

class FakeNode : public std::enable_shared_from_this<FakeNode> {
  public:
    FakeNode(uint16_t vid, uint16_t pid, std::vector<uint8_t> descriptor)
        : vid(vid), pid(pid), descriptor(std::move(descriptor)) {}

    // Every open connection receives the report, as on a hidraw node.
    void Push(const std::vector<uint8_t>& report) {
        std::lock_guard<std::mutex> lock(mutex);
        for (FakeConnection* c : connections) c->Deliver(report);
    }

    std::vector<std::vector<uint8_t>> Written() {
        std::lock_guard<std::mutex> lock(mutex);
        return written;
    }

    // The connection opened most recently; null when none is open.
    FakeConnection* LastConnection() {
        std::lock_guard<std::mutex> lock(mutex);
        return connections.empty() ? nullptr : connections.back();
    }

    size_t OpenConnections() {
        std::lock_guard<std::mutex> lock(mutex);
        return connections.size();
    }

    const uint16_t vid;
    const uint16_t pid;
    const std::vector<uint8_t> descriptor;
    // The time-out arguments of the last Read and Write of any connection to the node.
    std::atomic<int> lastReadTimeout{0};
    std::atomic<int> lastWriteTimeout{0};
    std::mutex mutex;
    std::vector<FakeConnection*> connections;
    std::vector<std::vector<uint8_t>> written;
};

inline FakeConnection::~FakeConnection() {
    std::lock_guard<std::mutex> lock(node_->mutex);
    std::erase(node_->connections, this);
}
inline uint16_t FakeConnection::VendorId() const { return node_->vid; }
inline uint16_t FakeConnection::ProductId() const { return node_->pid; }
inline std::vector<uint8_t> FakeConnection::ReportDescriptor() const { return node_->descriptor; }
inline int FakeConnection::Read(uint8_t* buffer, size_t length, int timeoutMs) {
    node_->lastReadTimeout = timeoutMs;
    return ReadQueued(buffer, length, timeoutMs);
}
inline int FakeConnection::Write(const uint8_t* data, size_t length, int timeoutMs) {
    node_->lastWriteTimeout = timeoutMs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (cancelled_) return -1;
    }
    std::lock_guard<std::mutex> lock(node_->mutex);
    node_->written.emplace_back(data, data + length);
    return static_cast<int>(length);
}

class FakeBackend : public HidBackend {
  public:
    // Adds a path; paths that share a native node ("#...") share the FakeNode.
    std::shared_ptr<FakeNode> AddPath(const std::string& path, std::shared_ptr<FakeNode> node) {
        std::lock_guard<std::mutex> lock(mutex_);
        order_.push_back(path);
        nodes_[path] = node;
        return node;
    }

    void RefuseOpen(const std::string& path, const std::string& reason) {
        std::lock_guard<std::mutex> lock(mutex_);
        refusals_[path] = reason;
    }

    std::vector<std::string> EnumeratePaths() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return order_;
    }

    // The mode of the last Open call, refused or not.
    HidOpenMode LastMode() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lastMode_;
    }

    std::unique_ptr<HidConnection> Open(const std::string& path, HidOpenMode mode,
                                        std::string* error) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lastMode_ = mode;
        if (auto r = refusals_.find(path); r != refusals_.end()) {
            if (error) *error = r->second;
            return nullptr;
        }
        auto it = nodes_.find(path);
        if (it == nodes_.end()) {
            if (error) *error = "no such device";
            return nullptr;
        }
        auto connection = std::make_unique<FakeConnection>(it->second);
        std::lock_guard<std::mutex> nodeLock(it->second->mutex);
        it->second->connections.push_back(connection.get());
        return connection;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> order_;
    std::map<std::string, std::shared_ptr<FakeNode>> nodes_;
    std::map<std::string, std::string> refusals_;
    HidOpenMode lastMode_;
};

}  // namespace rerov::test
