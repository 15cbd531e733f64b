#include "device_link/hid_device.h"

#include <algorithm>
#include <chrono>

#include "device_link/hid_controls.h"
#include "device_link/hid_log.h"

namespace rerov {
namespace {

using Clock = std::chrono::steady_clock;

// Platform messages may end in or contain line breaks; LastError stays on one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (lineBreak && !line.empty() && line.back() == ' ') continue;
        line += lineBreak ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

}  // namespace

HidDevice::HidDevice(std::shared_ptr<HidBackend> backend) : backend_(std::move(backend)) {}

HidDevice::~HidDevice() {
    Close();
    ClearPaths();
}

bool HidDevice::Enumerate() {
    std::shared_ptr<HidBackend> backend = backend_ ? backend_ : CurrentHidBackend();
    if (!backend) return false;
    paths_ = backend->EnumeratePaths();
    cursor_ = 0;
    qCDebug(lcHid, "enumerated %zu HID interfaces", paths_.size());
    return true;
}

std::optional<std::string> HidDevice::NextPath() {
    if (cursor_ >= paths_.size()) return std::nullopt;
    return paths_[cursor_++];
}

void HidDevice::ClearPaths() {
    paths_.clear();
    paths_.shrink_to_fit();
    cursor_ = 0;
}

bool HidDevice::Open(const std::string& path, HidOpenMode mode) {
    Close();
    mode_ = mode;
    path_ = path;
    lastError_.clear();

    std::shared_ptr<HidBackend> backend = backend_ ? backend_ : CurrentHidBackend();
    if (!backend) {
        lastError_ = "cannot open " + path + ": no HID backend";
        return false;
    }
    std::string reason;
    std::unique_ptr<HidConnection> connection = backend->Open(path, mode, &reason);
    if (!connection) {
        lastError_ =
            OneLine("cannot open " + path + ": " + (reason.empty() ? "unknown error" : reason));
        qCDebug(lcHid, "%s", lastError_.c_str());
        return false;
    }

    const std::vector<uint8_t> raw = connection->ReportDescriptor();
    ParsedReportDescriptor parsed;
    if (!ParseReportDescriptor(raw.data(), raw.size(), &parsed, &reason)) {
        lastError_ = "cannot open " + path + ": " + reason;
        return false;
    }

    // "&col" names the 1-based top-level collection; none means the only or first one. A
    // node that holds a single collection is what platforms that open each collection
    // separately hand out, so it serves whichever number its path carries.
    const uint16_t wanted = CollectionFromPath(path);
    size_t index = wanted == 0 ? 0 : wanted - 1u;
    if (index >= parsed.collections.size()) {
        if (parsed.collections.size() != 1) {
            lastError_ = "cannot open " + path + ": collection " + std::to_string(wanted) +
                         " not in the report descriptor (" +
                         std::to_string(parsed.collections.size()) + " collections)";
            return false;
        }
        index = 0;
    }

    const HidTopLevelCollection& top = parsed.collections[index];
    const HidReportTypeInfo& in = top.Reports(HidReportType::Input);
    const HidReportTypeInfo& out = top.Reports(HidReportType::Output);
    const HidReportTypeInfo& feature = top.Reports(HidReportType::Feature);
    caps_ = HidCaps{};
    caps_.usage = top.usage;
    caps_.usagePage = top.usagePage;
    caps_.inputReportByteLength = in.reportByteLength;
    caps_.outputReportByteLength = out.reportByteLength;
    caps_.featureReportByteLength = feature.reportByteLength;
    caps_.numberInputButtonCaps = static_cast<uint16_t>(in.buttonCaps.size());
    caps_.numberInputValueCaps = static_cast<uint16_t>(in.valueCaps.size());
    caps_.numberOutputButtonCaps = static_cast<uint16_t>(out.buttonCaps.size());
    caps_.numberOutputValueCaps = static_cast<uint16_t>(out.valueCaps.size());
    caps_.numberFeatureButtonCaps = static_cast<uint16_t>(feature.buttonCaps.size());
    caps_.numberFeatureValueCaps = static_cast<uint16_t>(feature.valueCaps.size());

    attributes_.vendorId = connection->VendorId();
    attributes_.productId = connection->ProductId();
    attributes_.versionNumber = connection->VersionNumber();

    interfaceNumber_ = InterfaceFromPath(path);
    collectionNumber_ = wanted;

    // Descriptors are shared with UnpackInputReport, which may run on the thread that reads.
    std::lock_guard<std::mutex> lock(stateMutex_);
    inputDescriptors_ = BuildDataDescriptors(in);
    outputDescriptors_ = BuildDataDescriptors(out);
    featureDescriptors_ = BuildDataDescriptors(feature);
    inputReportIds_ = in.reportIds;
    unnumberedReports_ = !parsed.usesReportIds;
    openedCollection_ = index;
    descriptor_ = std::move(parsed);
    connection_ = std::move(connection);
    qCDebug(lcHid, "opened %s (usage page 0x%04x usage 0x%02x, input %u bytes)", path.c_str(),
            caps_.usagePage, caps_.usage, caps_.inputReportByteLength);
    return true;
}

void HidDevice::Close() {
    std::shared_ptr<HidConnection> connection;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        connection = std::move(connection_);
        connection_.reset();
        inputReportIds_.clear();
        inputDescriptors_.clear();
        outputDescriptors_.clear();
        featureDescriptors_.clear();
        descriptor_ = ParsedReportDescriptor{};
    }
    // A Read or Write in another thread holds its own reference: Cancel releases it, and
    // the node is closed when the last reference goes. Attributes and caps keep their last
    // values, so a reader that still looks at them races with nothing.
    if (connection) connection->Cancel();
}

bool HidDevice::IsOpen() const {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return connection_ != nullptr;
}

bool HidDevice::Read(uint8_t* buffer, size_t length, size_t* bytesRead, int timeoutMs) {
    if (bytesRead) *bytesRead = 0;
    std::shared_ptr<HidConnection> connection;
    std::vector<uint8_t> reportIds;
    bool unnumbered = false;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        connection = connection_;
        reportIds = inputReportIds_;
        unnumbered = unnumberedReports_;
    }
    if (!connection || !buffer || length == 0) return false;
    // Reports without an id come from the node without the id byte; callers see byte 0
    // as the report id (0) either way.
    const size_t skip = unnumbered ? 1 : 0;
    if (length <= skip) return false;

    readPending_ = true;
    const bool infinite = timeoutMs < 0;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs);
    bool result = false;
    for (;;) {
        int slice = kInfiniteTimeout;
        if (!infinite) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            slice = static_cast<int>(std::max<int64_t>(0, left.count()));
        }
        const int n = connection->Read(buffer + skip, length - skip, slice);
        if (n <= 0) break;  // time-out, cancel or failure
        if (skip) buffer[0] = 0;
        const bool ours = unnumbered || std::find(reportIds.begin(), reportIds.end(), buffer[0]) !=
                                            reportIds.end();
        if (ours) {
            if (bytesRead) *bytesRead = static_cast<size_t>(n) + skip;
            result = true;
            break;
        }
        qCDebug(lcHid, "dropped input report %u of another collection", buffer[0]);
        if (!infinite && slice == 0) break;
    }
    readPending_ = false;
    return result;
}

bool HidDevice::Write(const uint8_t* buffer, size_t length, size_t* bytesWritten, int timeoutMs) {
    if (bytesWritten) *bytesWritten = 0;
    std::shared_ptr<HidConnection> connection;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        connection = connection_;
    }
    if (!connection || !buffer || length == 0) return false;
    writePending_ = true;
    const int n = connection->Write(buffer, length, timeoutMs);
    writePending_ = false;
    if (n <= 0) return false;
    if (bytesWritten) *bytesWritten = static_cast<size_t>(n);
    return true;
}

bool HidDevice::UnpackInputReport(const uint8_t* report, size_t length) {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (descriptor_.collections.empty()) return false;
    const HidTopLevelCollection& top = descriptor_.collections[openedCollection_];
    return UnpackReport(top.Reports(HidReportType::Input), report, length, &inputDescriptors_);
}

}  // namespace rerov
