#pragma once
// A HID backend for the fuzz targets: one node whose report descriptor and input reports
// come from the fuzz input. Nothing blocks: a read with no report left is a time-out at
// once, so one input runs in microseconds however many replies it lacks.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "device_link/hid_backend.h"

namespace rerov::fuzz {

/// The reports the node will send, in order, shared by every connection to it.
struct ScriptedNode {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::vector<uint8_t> descriptor;
    std::deque<std::vector<uint8_t>> replies;
};

class ScriptedConnection : public HidConnection {
  public:
    explicit ScriptedConnection(std::shared_ptr<ScriptedNode> node) : node_(std::move(node)) {}

    uint16_t VendorId() const override { return node_->vendorId; }
    uint16_t ProductId() const override { return node_->productId; }
    uint16_t VersionNumber() const override { return 0x0100; }
    std::vector<uint8_t> ReportDescriptor() const override { return node_->descriptor; }

    int Write(const uint8_t*, size_t length, int) override {
        return cancelled_ ? -1 : static_cast<int>(length);
    }

    int Read(uint8_t* buffer, size_t length, int) override {
        if (cancelled_) return -1;
        if (node_->replies.empty()) return 0;
        const std::vector<uint8_t> report = std::move(node_->replies.front());
        node_->replies.pop_front();
        const size_t n = std::min(length, report.size());
        std::copy_n(report.begin(), n, buffer);
        return static_cast<int>(n);
    }

    void Cancel() override { cancelled_ = true; }

  private:
    std::shared_ptr<ScriptedNode> node_;
    bool cancelled_ = false;
};

/// Offers the node under one canonical path.
class ScriptedBackend : public HidBackend {
  public:
    ScriptedBackend(std::string path, std::shared_ptr<ScriptedNode> node)
        : path_(std::move(path)), node_(std::move(node)) {}

    std::vector<std::string> EnumeratePaths() override { return {path_}; }

    // Every collection of the node is the same native node, whatever "&col" the path names.
    std::unique_ptr<HidConnection> Open(const std::string&, HidOpenMode, std::string*) override {
        return std::make_unique<ScriptedConnection>(node_);
    }

  private:
    std::string path_;
    std::shared_ptr<ScriptedNode> node_;
};

}  // namespace rerov::fuzz
