// The requests of the IPC channel against a fake window and simulator: what each one does,
// and that refused requests have no effect.

#include "shell/ipc/ipc_requests.h"

#include <gtest/gtest.h>

#include <QJsonArray>

#include "shell/ipc/ipc_protocol.h"
#include "tests/shell/ipc/ipc_fakes.h"

namespace rerov::ipc {
namespace {

using testing::FakeApp;
using testing::FakeSim;

class RequestsTest : public ::testing::Test {
  protected:
    RequestOutcome Handle(const QJsonObject& request, bool simulated = true) {
        return HandleRequest(request, RequestTargets{&app, simulated ? &sim : nullptr, &times, {}});
    }

    FakeApp app;
    FakeSim sim;
    StartupTimes times;
};

TEST_F(RequestsTest, StateReportsEveryEntryAsTheWindowShowsIt) {
    app.state.entries = {{"mouse", false, false, false, false},
                         {"keyboard", true, true, true, true, true},
                         {"MousePad", true, false, false, false}};
    app.state.noDeviceHintVisible = false;
    times.mainEnteredUs = 1000;
    times.windowShownUs = 1250;
    const RequestOutcome outcome = Handle({{"type", "app.state"}});
    ASSERT_TRUE(outcome.reply.value("ok").toBool());
    EXPECT_FALSE(outcome.exitAfterReply);
    const QJsonArray entries = outcome.reply.value("entries").toArray();
    ASSERT_EQ(entries.size(), 3);
    const QJsonObject keyboard = entries[1].toObject();
    EXPECT_EQ(keyboard.value("family").toString(), "keyboard");
    EXPECT_TRUE(keyboard.value("shown").toBool());
    EXPECT_TRUE(keyboard.value("current").toBool());
    EXPECT_TRUE(keyboard.value("connected").toBool());
    EXPECT_TRUE(keyboard.value("receiver").toBool());
    EXPECT_TRUE(keyboard.value("pageVisible").toBool());
    const QJsonObject mousePad = entries[2].toObject();
    EXPECT_EQ(mousePad.value("family").toString(), "MousePad");
    EXPECT_TRUE(mousePad.value("shown").toBool());
    EXPECT_FALSE(mousePad.value("connected").toBool());
    EXPECT_FALSE(mousePad.value("pageVisible").toBool(true));
    EXPECT_FALSE(outcome.reply.value("noDeviceHintVisible").toBool(true));
    EXPECT_TRUE(outcome.reply.value("simulated").toBool());
    EXPECT_EQ(outcome.reply.value("windowShownUs").toInteger(), 1250);

    EXPECT_FALSE(outcome.reply.contains("window"));
    const RequestTargets withWindow{&app, &sim, &times, [] {
                                        return QJsonObject{{"title", "T"}, {"visible", true}};
                                    }};
    const QJsonObject window =
        HandleRequest({{"type", "app.state"}}, withWindow).reply.value("window").toObject();
    EXPECT_EQ(window.value("title").toString(), "T");
    EXPECT_TRUE(window.value("visible").toBool());

    app.state.noDeviceHintVisible = true;
    const RequestOutcome real = Handle({{"type", "app.state"}}, false);
    EXPECT_TRUE(real.reply.value("noDeviceHintVisible").toBool());
    EXPECT_FALSE(real.reply.value("simulated").toBool(true));
}

TEST_F(RequestsTest, EachRequestActsOnItsTarget) {
    struct Case {
        QJsonObject request;
        int fronts;
        std::vector<std::string> simCalls;
        bool exitAfterReply;
    };
    const Case cases[] = {
        {{{"type", "activate"}}, 1, {}, false},
        {{{"type", "app.show"}}, 1, {}, false},
        {{{"type", "app.quit"}}, 0, {}, true},
        {{{"type", "sim.plug"}, {"device", "keyboard"}}, 0, {"plug keyboard"}, false},
        {{{"type", "sim.unplug"}, {"device", "mouse"}}, 0, {"unplug mouse"}, false},
        {{{"type", "sim.reach"}, {"device", "keyboard"}, {"on", false}}, 0, {"reach off"}, false},
        {{{"type", "sim.reach"}, {"device", "keyboard"}, {"on", true}}, 0, {"reach on"}, false},
        {{{"type", "sim.memory"}, {"device", "keyboard"}, {"area", "info"}},
         0,
         {"memory keyboard info"},
         false},
        {{{"type", "sim.trace.start"}, {"file", "/tmp/t.trace"}},
         0,
         {"trace start /tmp/t.trace"},
         false},
        {{{"type", "sim.key"}, {"device", "keyboard"}, {"position", 35}, {"down", true}},
         0,
         {"key keyboard 35 down"},
         false},
        {{{"type", "sim.key"}, {"device", "keyboard"}, {"position", 0}, {"down", false}},
         0,
         {"key keyboard 0 up"},
         false},
        {{{"type", "sim.onboard"}, {"device", "keyboard"}, {"profile", 2}},
         0,
         {"onboard keyboard 2 -1"},
         false},
        {{{"type", "sim.onboard"}, {"device", "keyboard"}, {"profile", 1}, {"field", 3}},
         0,
         {"onboard keyboard 1 3"},
         false},
        {{{"type", "sim.changed"}, {"device", "keyboard"}}, 0, {"changed keyboard"}, false},
        {{{"type", "sim.param"}, {"device", "keyboard"}, {"offset", 44}, {"value", 3}},
         0,
         {"param keyboard 44 3"},
         false},
    };
    for (const Case& c : cases) {
        app = FakeApp();
        sim = FakeSim();
        const RequestOutcome outcome = Handle(c.request);
        const std::string name = c.request.value("type").toString().toStdString();
        EXPECT_TRUE(outcome.reply.value("ok").toBool()) << name;
        EXPECT_EQ(app.fronts, c.fronts) << name;
        EXPECT_EQ(sim.calls, c.simCalls) << name;
        EXPECT_EQ(outcome.exitAfterReply, c.exitAfterReply) << name;
        // The program ends only after the reply has gone out, never inside the handler.
        EXPECT_EQ(app.exits, 0) << name;
    }
}

TEST_F(RequestsTest, RefusedRequestsHaveNoEffect) {
    struct Case {
        const char* why;
        QJsonObject request;
        bool simulated;
        const char* errorPart;
    };
    const Case cases[] = {
        {"unknown type", {{"type", "app.format_disk"}}, true, "unknown request"},
        {"plug without --simulate",
         {{"type", "sim.plug"}, {"device", "keyboard"}},
         false,
         "--simulate"},
        {"unplug without --simulate",
         {{"type", "sim.unplug"}, {"device", "keyboard"}},
         false,
         "--simulate"},
        {"reach without --simulate",
         {{"type", "sim.reach"}, {"device", "keyboard"}, {"on", true}},
         false,
         "--simulate"},
        {"unknown device", {{"type", "sim.plug"}, {"device", "toaster"}}, true, "toaster"},
        {"no device", {{"type", "sim.plug"}}, true, "no device"},
        {"device not a string", {{"type", "sim.unplug"}, {"device", 3}}, true, "no device"},
        {"reach of the mouse",
         {{"type", "sim.reach"}, {"device", "mouse"}, {"on", true}},
         true,
         "only the keyboard"},
        {"reach without on", {{"type", "sim.reach"}, {"device", "keyboard"}}, true, "\"on\""},
        {"reach with a text on",
         {{"type", "sim.reach"}, {"device", "keyboard"}, {"on", "off"}},
         true,
         "\"on\""},
        {"memory without --simulate",
         {{"type", "sim.memory"}, {"device", "keyboard"}, {"area", "info"}},
         false,
         "--simulate"},
        {"memory of an unknown device",
         {{"type", "sim.memory"}, {"device", "toaster"}, {"area", "info"}},
         true,
         "toaster"},
        {"memory of an unknown area",
         {{"type", "sim.memory"}, {"device", "keyboard"}, {"area", "attic"}},
         true,
         "attic"},
        {"memory without an area",
         {{"type", "sim.memory"}, {"device", "keyboard"}},
         true,
         "no area"},
        {"memory without a device", {{"type", "sim.memory"}, {"area", "info"}}, true, "no device"},
        {"trace start without --simulate",
         {{"type", "sim.trace.start"}, {"file", "/tmp/t.trace"}},
         false,
         "--simulate"},
        {"trace stop without --simulate", {{"type", "sim.trace.stop"}}, false, "--simulate"},
        {"timing without --simulate", {{"type", "sim.timing"}}, false, "--simulate"},
        {"trace start without a file", {{"type", "sim.trace.start"}}, true, "no file"},
        {"key without --simulate",
         {{"type", "sim.key"}, {"device", "keyboard"}, {"position", 1}, {"down", true}},
         false,
         "--simulate"},
        {"key without down",
         {{"type", "sim.key"}, {"device", "keyboard"}, {"position", 1}},
         true,
         "\"down\""},
        {"key with a fractional position",
         {{"type", "sim.key"}, {"device", "keyboard"}, {"position", 1.5}, {"down", true}},
         true,
         "\"position\""},
        {"key with a text position",
         {{"type", "sim.key"}, {"device", "keyboard"}, {"position", "1"}, {"down", true}},
         true,
         "\"position\""},
        {"onboard without a profile",
         {{"type", "sim.onboard"}, {"device", "keyboard"}},
         true,
         "\"profile\""},
        {"onboard with a text field",
         {{"type", "sim.onboard"}, {"device", "keyboard"}, {"profile", 1}, {"field", "x"}},
         true,
         "\"field\""},
        {"changed of an unknown device",
         {{"type", "sim.changed"}, {"device", "toaster"}},
         true,
         "toaster"},
        {"param without a value",
         {{"type", "sim.param"}, {"device", "keyboard"}, {"offset", 1}},
         true,
         "\"value\""},
        {"trace start with a relative file",
         {{"type", "sim.trace.start"}, {"file", "t.trace"}},
         true,
         "absolute"},
        {"trace start with an unwritable file",
         {{"type", "sim.trace.start"}, {"file", "/unwritable/t.trace"}},
         true,
         "cannot write"},
        {"trace stop with no trace running", {{"type", "sim.trace.stop"}}, true, "no trace"},
    };
    for (const Case& c : cases) {
        app = FakeApp();
        sim = FakeSim();
        const RequestOutcome outcome = Handle(c.request, c.simulated);
        EXPECT_FALSE(outcome.reply.value("ok").toBool(true)) << c.why;
        EXPECT_TRUE(outcome.reply.value("error").toString().contains(QLatin1String(c.errorPart)))
            << c.why << ": " << outcome.reply.value("error").toString().toStdString();
        EXPECT_FALSE(outcome.exitAfterReply) << c.why;
        EXPECT_TRUE(sim.calls.empty()) << c.why;
        EXPECT_EQ(app.fronts + app.exits, 0) << c.why;
    }
}

TEST_F(RequestsTest, MemoryReplyCarriesEachSectionAsHexAndTheDecodedValues) {
    sim.memory.description = "the information block";
    sim.memory.sections = {{"information block", 0, {0x01, 0x05, 0xab}},
                           {"profile 2", 84, std::vector<uint8_t>(42, 0x5a)},
                           {"empty", 7, {}}};
    sim.memory.values = {{"keyPositions", 138}, {"currentProfile", 2}};
    const RequestOutcome outcome =
        Handle({{"type", "sim.memory"}, {"device", "keyboard"}, {"area", "info"}});
    ASSERT_TRUE(outcome.reply.value("ok").toBool())
        << outcome.reply.value("error").toString().toStdString();
    EXPECT_EQ(outcome.reply.value("device").toString(), "keyboard");
    EXPECT_EQ(outcome.reply.value("area").toString(), "info");
    EXPECT_EQ(outcome.reply.value("description").toString(), "the information block");
    const QJsonArray sections = outcome.reply.value("sections").toArray();
    ASSERT_EQ(sections.size(), 3);
    const QJsonObject first = sections[0].toObject();
    EXPECT_EQ(first.value("title").toString(), "information block");
    EXPECT_EQ(first.value("address").toInteger(), 0);
    EXPECT_EQ(first.value("size").toInteger(), 3);
    EXPECT_EQ(first.value("hex").toString(), "0105ab");
    const QJsonObject second = sections[1].toObject();
    EXPECT_EQ(second.value("address").toInteger(), 84);
    EXPECT_EQ(second.value("size").toInteger(), 42);
    EXPECT_EQ(second.value("hex").toString(), QString("5a").repeated(42));
    EXPECT_EQ(sections[2].toObject().value("hex").toString(), "");
    const QJsonObject values = outcome.reply.value("values").toObject();
    EXPECT_EQ(values.value("keyPositions").toInteger(), 138);
    EXPECT_EQ(values.value("currentProfile").toInteger(), 2);
}

TEST_F(RequestsTest, MemoryTooLargeForTheChannelIsRefusedRatherThanSentBroken) {
    // Two hex digits a byte: half the channel's limit in bytes cannot fit with the envelope.
    sim.memory.sections = {{"huge", 0, std::vector<uint8_t>(kMaxMessageBytes / 2, 0)}};
    const RequestOutcome outcome =
        Handle({{"type", "sim.memory"}, {"device", "keyboard"}, {"area", "info"}});
    EXPECT_FALSE(outcome.reply.value("ok").toBool(true));
    EXPECT_TRUE(outcome.reply.value("error").toString().contains("too large"))
        << outcome.reply.value("error").toString().toStdString();
    EXPECT_LE(EncodeMessage(outcome.reply).size(), static_cast<qsizetype>(kMaxMessageBytes));
}

TEST_F(RequestsTest, TraceStopReportsTheFileAndItsLines) {
    ASSERT_TRUE(
        Handle({{"type", "sim.trace.start"}, {"file", "/tmp/a.trace"}}).reply.value("ok").toBool());
    const RequestOutcome stop = Handle({{"type", "sim.trace.stop"}});
    ASSERT_TRUE(stop.reply.value("ok").toBool());
    EXPECT_EQ(stop.reply.value("file").toString(), "/tmp/a.trace");
    EXPECT_EQ(stop.reply.value("lines").toInteger(), 4);
    EXPECT_EQ(sim.calls, (std::vector<std::string>{"trace start /tmp/a.trace", "trace stop"}));
}

TEST_F(RequestsTest, TimingReportsTheSimulatorsViolations) {
    for (const unsigned count : {0u, 3u}) {
        sim.timingViolations = count;
        const RequestOutcome outcome = Handle({{"type", "sim.timing"}});
        ASSERT_TRUE(outcome.reply.value("ok").toBool());
        EXPECT_EQ(outcome.reply.value("violations").toInteger(), count);
    }
}

TEST_F(RequestsTest, WindowRequestsBeforeTheWindowExistsAreRefusedButActivationIsNot) {
    const RequestTargets noWindow{nullptr, &sim, &times, {}};
    for (const char* type : {"app.state", "app.show", "app.quit"}) {
        const RequestOutcome outcome = HandleRequest({{"type", type}}, noWindow);
        EXPECT_FALSE(outcome.reply.value("ok").toBool(true)) << type;
        EXPECT_FALSE(outcome.exitAfterReply) << type;
    }
    // The first pass of the device scan shows the window anyway.
    EXPECT_TRUE(HandleRequest({{"type", "activate"}}, noWindow).reply.value("ok").toBool());
}

}  // namespace
}  // namespace rerov::ipc
