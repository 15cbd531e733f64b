// Transactions of DeviceLink against the simulated keyboard: framing on the wire, the
// reply rules (matching command byte, two reads, the receiver's 0xAA) and the failures.

#include "device_link/device_link.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <chrono>
#include <future>
#include <mutex>

#include "sim/keyboard_model.h"
#include "tests/device_link/link_test_support.h"

namespace rerov {
namespace {

using namespace std::chrono_literals;
using linktest::SimLinkTest;

class DeviceLinkTest : public SimLinkTest {};

TEST_F(DeviceLinkTest, DefaultsAndLinkModes) {
    DeviceLink link;
    EXPECT_EQ(link.BlockLength(), 512);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_FALSE(link.IsReceiver());
    EXPECT_EQ(link.ChunkSize(), 24);
    link.SetLinkMode(LinkMode::Receiver);
    EXPECT_TRUE(link.IsReceiver());
    EXPECT_EQ(link.ChunkSize(), 24);
    for (int mode : {1, 0, 3, -1}) {
        link.SetLinkMode(static_cast<LinkMode>(mode));  // a mode number from elsewhere
        EXPECT_FALSE(link.IsReceiver()) << mode;
        EXPECT_EQ(link.ChunkSize(), 56) << mode;
    }
}

TEST_F(DeviceLinkTest, BlockLengthAboveOnePageIsRefused) {
    EXPECT_TRUE(link_.SetBlockLength(300));
    EXPECT_FALSE(link_.SetBlockLength(513));
    EXPECT_FALSE(link_.SetBlockLength(-1));
    EXPECT_EQ(link_.BlockLength(), 300);
    EXPECT_TRUE(link_.SetBlockLength(512));
    EXPECT_EQ(link_.BlockLength(), 512);
}

TEST_F(DeviceLinkTest, UnconnectedLinkSendsNothingAndReturnsZero) {
    bus_->Plug(sim::SimPath::KeyboardCable);
    std::vector<uint8_t> data = Pattern(512, 1);
    uint8_t buffer[512] = {};
    const std::pair<const char*, std::function<int()>> calls[] = {
        {"BeginSession", [&] { return link_.BeginSession(); }},
        {"EndSession", [&] { return link_.EndSession(1); }},
        {"ReadDeviceInfo", [&] { return link_.ReadDeviceInfo(buffer); }},
        {"ReadParameters", [&] { return link_.ReadParameters(buffer, 42, 0); }},
        {"WriteParameters", [&] { return link_.WriteParameters(data.data(), 42, 0); }},
        {"ReadKeyTable", [&] { return link_.ReadKeyTable(buffer); }},
        {"WriteKeyTable", [&] { return link_.WriteKeyTable(data.data(), 0); }},
        {"WriteLightTable", [&] { return link_.WriteLightTable(data.data(), 100, 1, 512); }},
        {"StreamLightFrame", [&] { return link_.StreamLightFrame(data.data(), 100); }},
        {"WriteMacroData", [&] { return link_.WriteMacroData(data.data(), 100); }},
        {"WriteShootData", [&] { return link_.WriteShootData(data.data(), 100); }},
        {"ReadStatus", [&] { return link_.ReadStatus(buffer, 6, 0); }},
        {"ReadLedTable", [&] { return link_.ReadLedTable(buffer); }},
        {"HostLightControl", [&] { return link_.HostLightControl(); }},
        {"WriteFnKeyTable", [&] { return link_.WriteFnKeyTable(data.data(), 0); }},
    };
    for (const auto& [name, call] : calls) EXPECT_EQ(call(), kResultNoReply) << name;
    link_.SetLinkMode(LinkMode::Receiver);
    EXPECT_FALSE(link_.QueryReceiverLink());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DeviceLinkTest, ASessionClosesOnlyOnceItsLastTransferHasSettled) {
    for (const bool receiver : {false, true}) {
        SCOPED_TRACE(receiver ? "receiver" : "cable");
        ConnectKeyboard(receiver);
        uint8_t info[kDeviceInfoSize] = {};
        EXPECT_EQ(link_.BeginSession(), kResultSuccess);
        EXPECT_EQ(link_.ReadDeviceInfo(info), kResultSuccess);
        EXPECT_EQ(link_.EndSession(1), kResultSuccess);
        EXPECT_FALSE(bus_->Keyboard().SessionOpen());
        EXPECT_EQ(bus_->TimingViolations(), 0u);
    }
}

TEST_F(DeviceLinkTest, ShortRequestIsZeroFilledAndLongOneCut) {
    ConnectKeyboard(false);
    const uint8_t shortRequest[] = {0x04, 0x01, 0x00, 0x01};
    CommandReport reply;
    size_t count = 99;
    EXPECT_EQ(link_.Transact(shortRequest, sizeof shortRequest, reply.Data(), 64, &count), 1);
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(reply.Command(), 0x01);

    std::array<uint8_t, 70> longRequest{};
    const CommandReport begin = CommandReport::Build(kCmdBeginSession, 0, 0);
    std::copy(begin.bytes.begin(), begin.bytes.end(), longRequest.begin());
    longRequest[64] = 0xEE;  // beyond the report: must not reach the device
    EXPECT_EQ(link_.Transact(longRequest.data(), longRequest.size(), reply.Data(), 64, nullptr), 1);

    const std::vector<CommandReport> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].bytes, begin.bytes);
    EXPECT_EQ(sent[1].bytes, begin.bytes);
}

TEST_F(DeviceLinkTest, WriteFailureGivesMinusOneAndReadsNothing) {
    ConnectKeyboard(false);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::WriteFails, 1, kCmdBeginSession, 0ms});
    EXPECT_EQ(link_.BeginSession(), kResultWriteFailed);
    EXPECT_TRUE(Replies(kCmdBeginSession).empty());
    EXPECT_EQ(link_.BeginSession(), kResultSuccess);
}

TEST_F(DeviceLinkTest, MissingReplyGivesZeroAfterTwoReads) {
    ConnectKeyboard(false);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::NoReply, 1, kCmdBeginSession, 0ms});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link_.BeginSession(), kResultNoReply);
    // Two reads of 1000 ms each were tried before giving up.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1900ms);
    EXPECT_EQ(Sent(kCmdBeginSession).size(), 1u);
    EXPECT_EQ(link_.BeginSession(), kResultSuccess);
}

TEST_F(DeviceLinkTest, WrongCommandByteIsNotTakenForTheReply) {
    ConnectKeyboard(false);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::WrongCommand, 1, kCmdReadDeviceInfo, 0ms});
    uint8_t info[kDeviceInfoSize];
    std::fill(std::begin(info), std::end(info), 0xEE);
    EXPECT_EQ(link_.ReadDeviceInfo(info), kResultNoReply);
    for (uint8_t byte : info) ASSERT_EQ(byte, 0xEE);  // untouched
    EXPECT_EQ(link_.ReadDeviceInfo(info), kResultSuccess);
}

TEST_F(DeviceLinkTest, StaleReplyOfAnEarlierCommandIsSkipped) {
    ConnectKeyboard(false);
    // The reply to BeginSession comes after both reads gave up and is still queued when
    // the next command is sent; that command must read past it to its own reply.
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::LateReply, 1, kCmdBeginSession, 2300ms});
    EXPECT_EQ(link_.BeginSession(), kResultNoReply);
    ASSERT_TRUE(WaitForReply(kCmdBeginSession, 1));
    uint8_t info[kDeviceInfoSize] = {};
    EXPECT_EQ(link_.ReadDeviceInfo(info), kResultSuccess);
    const auto expected = bus_->Keyboard().InfoBlock();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), std::begin(info)));
}

TEST_F(DeviceLinkTest, ReceiverAnswerAaMeansDeviceOutOfReach) {
    ConnectKeyboard(true);
    EXPECT_TRUE(link_.QueryReceiverLink());
    bus_->SetKeyboardInReach(false);
    EXPECT_EQ(link_.BeginSession(), kResultReceiverUnreachable);
    uint8_t info[kDeviceInfoSize] = {};
    EXPECT_EQ(link_.ReadDeviceInfo(info), kResultReceiverUnreachable);
    // Command 0xAA's own reply carries 0xAA: not an error, but the link reports no device.
    EXPECT_FALSE(link_.QueryReceiverLink());
    CommandReport reply;
    EXPECT_EQ(link_.SendCommand(kCmdQueryReceiverLink, 0, 0, nullptr, 0, &reply), 1);
    EXPECT_EQ(reply.Command(), 0xAA);
    bus_->SetKeyboardInReach(true);
    EXPECT_EQ(link_.BeginSession(), kResultSuccess);
    EXPECT_TRUE(link_.QueryReceiverLink());
}

TEST_F(DeviceLinkTest, QueryReceiverLinkOnCableIsTrueWithoutSending) {
    EXPECT_TRUE(link_.QueryReceiverLink());  // not even connected
    ConnectKeyboard(false);
    EXPECT_TRUE(link_.QueryReceiverLink());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DeviceLinkTest, DisconnectDuringTransferEndsWithAResultCode) {
    ConnectKeyboard(false);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::DisconnectDuring, 3, kCmdWriteKeyTable, 0ms});
    const std::vector<uint8_t> table = Pattern(512, 3);
    auto write =
        std::async(std::launch::async, [&] { return link_.WriteKeyTable(table.data(), 0); });
    ASSERT_EQ(write.wait_for(10s), std::future_status::ready) << "write hangs after unplug";
    const int result = write.get();
    EXPECT_TRUE(result == kResultWriteFailed || result == kResultNoReply) << result;
    EXPECT_LE(Sent(kCmdWriteKeyTable).size(), 3u);
    // Later commands fail at once instead of waiting on a dead interface.
    auto next = std::async(std::launch::async, [&] { return link_.BeginSession(); });
    ASSERT_EQ(next.wait_for(10s), std::future_status::ready);
    EXPECT_NE(next.get(), kResultSuccess);
}

TEST_F(DeviceLinkTest, ClosingTheInterfaceReleasesAWaitingTransaction) {
    ConnectKeyboard(true);  // receiver path: two reads of 5 s each if nothing stops them
    bus_->InjectFault(sim::SimPath::KeyboardReceiver,
                      {sim::SimFault::Kind::NoReply, 1, kCmdBeginSession, 0ms});
    auto command = std::async(std::launch::async, [&] { return link_.BeginSession(); });
    ASSERT_TRUE(WaitForSent(kCmdBeginSession, 1));
    // Device removal closes the interface from another thread.
    link_.Receiver().Close();
    ASSERT_EQ(command.wait_for(4s), std::future_status::ready) << "transaction not released";
    EXPECT_EQ(command.get(), kResultNoReply);
    EXPECT_EQ(link_.BeginSession(), kResultWriteFailed);  // closed interface: nothing written
}

TEST_F(DeviceLinkTest, TraceHookSeesEveryReportBothWays) {
    ConnectKeyboard(true);
    std::mutex mutex;
    std::vector<std::pair<ReportDirection, CommandReport>> hooked;
    link_.SetReportTraceHook([&](ReportDirection direction, const uint8_t* report, size_t length) {
        ASSERT_EQ(length, kCommandReportSize);
        CommandReport copy;
        std::copy_n(report, length, copy.bytes.begin());
        std::lock_guard<std::mutex> lock(mutex);
        hooked.emplace_back(direction, copy);
    });
    uint8_t info[kDeviceInfoSize] = {};
    ASSERT_EQ(link_.ReadDeviceInfo(info), kResultSuccess);
    link_.SetReportTraceHook(nullptr);
    ASSERT_EQ(link_.BeginSession(), kResultSuccess);  // after removal: not hooked

    const std::vector<CommandReport> sent = Sent(kCmdReadDeviceInfo);
    const std::vector<CommandReport> replies = Replies(kCmdReadDeviceInfo);
    ASSERT_EQ(sent.size(), 2u);
    ASSERT_EQ(replies.size(), 2u);
    ASSERT_EQ(hooked.size(), 4u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(hooked[2 * i].first, ReportDirection::HostToDevice);
        EXPECT_EQ(hooked[2 * i].second.bytes, sent[i].bytes);
        EXPECT_EQ(hooked[2 * i + 1].first, ReportDirection::DeviceToHost);
        EXPECT_EQ(hooked[2 * i + 1].second.bytes, replies[i].bytes);
    }
}

// A backend in front of the simulator whose connections cut every reply short, as a
// device with a broken report would.
class TruncatingBackend : public HidBackend {
  public:
    TruncatingBackend(std::shared_ptr<sim::SimulatedBus> bus, size_t replyBytes)
        : bus_(std::move(bus)), replyBytes_(replyBytes) {}
    std::vector<std::string> EnumeratePaths() override { return bus_->EnumeratePaths(); }
    std::unique_ptr<HidConnection> Open(const std::string& path, HidOpenMode mode,
                                        std::string* error) override {
        std::unique_ptr<HidConnection> inner = bus_->Open(path, mode, error);
        if (!inner) return nullptr;
        return std::make_unique<Connection>(std::move(inner), replyBytes_);
    }

  private:
    class Connection : public HidConnection {
      public:
        Connection(std::unique_ptr<HidConnection> inner, size_t replyBytes)
            : inner_(std::move(inner)), replyBytes_(replyBytes) {}
        uint16_t VendorId() const override { return inner_->VendorId(); }
        uint16_t ProductId() const override { return inner_->ProductId(); }
        uint16_t VersionNumber() const override { return inner_->VersionNumber(); }
        std::vector<uint8_t> ReportDescriptor() const override {
            return inner_->ReportDescriptor();
        }
        int Write(const uint8_t* data, size_t length, int timeoutMs) override {
            return inner_->Write(data, length, timeoutMs);
        }
        int Read(uint8_t* buffer, size_t length, int timeoutMs) override {
            const int count = inner_->Read(buffer, length, timeoutMs);
            return count > 0 ? std::min(count, static_cast<int>(replyBytes_)) : count;
        }
        void Cancel() override { inner_->Cancel(); }

      private:
        std::unique_ptr<HidConnection> inner_;
        size_t replyBytes_;
    };

    std::shared_ptr<sim::SimulatedBus> bus_;
    size_t replyBytes_;
};

TEST(ShortReplyTest, RepliesTooShortForTheirStatusOrDataAreNoReply) {
    const struct {
        const char* name;
        size_t replyBytes;
        int beginSession;    // needs the status byte (8 bytes)
        int readStatus;      // 6 status bytes: needs 14
        int readDeviceInfo;  // one cable chunk of 34: needs 42
    } cases[] = {
        {"NoStatusByte", 7, kResultNoReply, kResultNoReply, kResultNoReply},
        {"StatusOnly", 8, kResultSuccess, kResultNoReply, kResultNoReply},
        {"StatusData", 14, kResultSuccess, kResultSuccess, kResultNoReply},
        {"Whole", 64, kResultSuccess, kResultSuccess, kResultSuccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto bus = std::make_shared<sim::SimulatedBus>();
        bus->Plug(sim::SimPath::KeyboardCable);
        auto backend = std::make_shared<TruncatingBackend>(bus, c.replyBytes);
        DeviceLink link(backend);
        const SupportedDevice row = SupportedDevices()[0];
        for (const std::string& path : backend->EnumeratePaths()) {
            if (ProductIdFromPath(path) == row.productId &&
                CollectionFromPath(path) == row.collectionNumber) {
                ASSERT_TRUE(link.Wired().Open(path, kCommandAccess));
            }
        }
        ASSERT_TRUE(link.Wired().IsOpen());
        link.SetLinkMode(LinkMode::Wired);
        link.SetConnected(true);

        EXPECT_EQ(link.BeginSession(), c.beginSession);
        uint8_t status[6];
        std::fill(std::begin(status), std::end(status), 0xEE);
        EXPECT_EQ(link.ReadStatus(status, 6, 0), c.readStatus);
        if (c.readStatus != kResultSuccess) {
            for (uint8_t byte : status) EXPECT_EQ(byte, 0xEE);
        }
        uint8_t info[kDeviceInfoSize];
        std::fill(std::begin(info), std::end(info), 0xEE);
        EXPECT_EQ(link.ReadDeviceInfo(info), c.readDeviceInfo);
        if (c.readDeviceInfo != kResultSuccess) {
            for (uint8_t byte : info) EXPECT_EQ(byte, 0xEE);
        }
    }
}

// Debug lines of "rerov.link", caught by a message handler while the category is on.
std::mutex g_debugMutex;
QStringList* g_debugLines = nullptr;
void CollectDebug(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    std::lock_guard<std::mutex> lock(g_debugMutex);
    if (type == QtDebugMsg && g_debugLines != nullptr &&
        QString::fromUtf8(context.category) == QStringLiteral("rerov.link")) {
        g_debugLines->append(message);
    }
}

class LinkDebugTraceTest : public SimLinkTest {
  protected:
    void SetUp() override {
        SimLinkTest::SetUp();
        {
            std::lock_guard<std::mutex> lock(g_debugMutex);
            g_debugLines = &lines_;
        }
        previous_ = qInstallMessageHandler(CollectDebug);
        QLoggingCategory::setFilterRules(QStringLiteral("rerov.link.debug=true"));
    }
    void TearDown() override {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous_);
        {
            std::lock_guard<std::mutex> lock(g_debugMutex);
            g_debugLines = nullptr;
        }
        SimLinkTest::TearDown();
    }
    QStringList Lines() const {
        std::lock_guard<std::mutex> lock(g_debugMutex);
        return lines_;
    }
    QStringList lines_;  // guarded by g_debugMutex
    QtMessageHandler previous_ = nullptr;
};

TEST_F(LinkDebugTraceTest, CommandAndReplyAreDumpedInTwoLinesEach) {
    ConnectKeyboard(false);
    ASSERT_EQ(link_.BeginSession(), kResultSuccess);
    const CommandReport request = CommandReport::Build(kCmdBeginSession, 0, 0);
    const std::vector<CommandReport> replies = Replies(kCmdBeginSession);
    ASSERT_EQ(replies.size(), 1u);
    const QStringList expected = {
        QStringLiteral("命令"),
        QString::fromStdString(FormatHexDumpLine(request.Data())),
        QString::fromStdString(FormatHexDumpLine(request.Data() + 32)),
        QStringLiteral("返回"),
        QString::fromStdString(FormatHexDumpLine(replies[0].Data())),
        QString::fromStdString(FormatHexDumpLine(replies[0].Data() + 32)),
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_TRUE(Lines().value(1).startsWith(QStringLiteral("04 01 00 01   00 00")));
}

TEST_F(LinkDebugTraceTest, LightingFramesAreNotDumped) {
    ConnectKeyboard(false);
    const std::vector<uint8_t> frame = Pattern(100, 5);
    ASSERT_EQ(link_.StreamLightFrame(frame.data(), frame.size()), kResultSuccess);
    EXPECT_TRUE(Lines().isEmpty()) << Lines().join('\n').toStdString();
}

TEST_F(LinkDebugTraceTest, EveryDroppedLightingPieceIsNoted) {
    ConnectKeyboard(false);
    bus_->InjectFault(sim::SimPath::KeyboardCable,
                      {sim::SimFault::Kind::NoReply, 1, kCmdBeginSession, 0ms});
    auto command = std::async(std::launch::async, [&] { return link_.BeginSession(); });
    ASSERT_TRUE(WaitForSent(kCmdBeginSession, 1));
    const std::vector<uint8_t> frame = Pattern(150, 5);  // three pieces on the cable
    EXPECT_EQ(link_.StreamLightFrame(frame.data(), frame.size()), kResultSuccess);
    EXPECT_EQ(command.get(), kResultNoReply);
    EXPECT_EQ(Lines().count(QStringLiteral("放弃灯光数据")), 3);
}

}  // namespace
}  // namespace rerov
