// The settings window's requests of the IPC channel against a fake window: an updater's
// relay reaches the window only when it is well formed, and the reply says what the window
// made of it.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <limits>

#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/ipc_requests.h"
#include "tests/shell/ipc/ipc_fakes.h"

namespace rerov::ipc {
namespace {

using testing::FakeApp;

class SettingsRequestsTest : public ::testing::Test {
  protected:
    QJsonObject Handle(const QJsonObject& request) {
        return HandleRequest(request, RequestTargets{&app, nullptr, nullptr, {}}).reply;
    }

    FakeApp app;
};

TEST_F(SettingsRequestsTest, EachRelayCodeReachesTheWindowWithItsValue) {
    app.relayOutcome = {true, false};
    for (int code = 1; code <= 4; ++code) {
        const QJsonObject reply =
            Handle({{"type", "settings.relay"}, {"code", code}, {"value", 45}});
        EXPECT_TRUE(reply.value("ok").toBool()) << code;
        EXPECT_TRUE(reply.value("delivered").toBool()) << code;
        EXPECT_FALSE(reply.value("closed").toBool(true)) << code;
    }
    const std::vector<std::pair<int, int>> expected{{1, 45}, {2, 45}, {3, 45}, {4, 45}};
    EXPECT_EQ(app.relays, expected);
    // Without a value the value is 0; the reply reports a window that closed after it.
    app.relayOutcome = {true, true};
    const QJsonObject reply = Handle({{"type", "settings.relay"}, {"code", 1}});
    EXPECT_TRUE(reply.value("closed").toBool());
    EXPECT_EQ(app.relays.back(), std::make_pair(1, 0));
}

TEST_F(SettingsRequestsTest, WithoutASettingsWindowTheRelayIsAnsweredAsNotDelivered) {
    const QJsonObject reply = Handle({{"type", "settings.relay"}, {"code", 4}, {"value", 10}});
    EXPECT_TRUE(reply.value("ok").toBool());
    EXPECT_FALSE(reply.value("delivered").toBool(true));
    EXPECT_FALSE(reply.value("closed").toBool(true));
}

TEST_F(SettingsRequestsTest, MalformedRelaysAreRefusedAndNeverReachTheWindow) {
    const double tooLarge = static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
    const double tooSmall = static_cast<double>(std::numeric_limits<int>::min()) - 1.0;
    const QJsonObject cases[] = {
        {{"type", "settings.relay"}},                              // no code
        {{"type", "settings.relay"}, {"code", "1"}},               // code as text
        {{"type", "settings.relay"}, {"code", 1.5}},               // not whole
        {{"type", "settings.relay"}, {"code", QJsonValue::Null}},  // null
        {{"type", "settings.relay"}, {"code", 0}},                 // unknown codes
        {{"type", "settings.relay"}, {"code", 5}},
        {{"type", "settings.relay"}, {"code", -1}},
        {{"type", "settings.relay"}, {"code", tooLarge}},                // beyond an int
        {{"type", "settings.relay"}, {"code", 4}, {"value", "50"}},      // value as text
        {{"type", "settings.relay"}, {"code", 4}, {"value", 2.25}},      // not whole
        {{"type", "settings.relay"}, {"code", 4}, {"value", tooLarge}},  // beyond an int
        {{"type", "settings.relay"}, {"code", 4}, {"value", tooSmall}},
        {{"type", "settings.relay"}, {"code", 4}, {"value", QJsonArray{1}}},
    };
    for (const QJsonObject& request : cases) {
        const QJsonObject reply = Handle(request);
        EXPECT_FALSE(reply.value("ok").toBool(true)) << QJsonDocument(request).toJson().constData();
        EXPECT_FALSE(reply.value("error").toString().isEmpty());
    }
    EXPECT_TRUE(app.relays.empty());
    // The extremes of an int are values like any other.
    const int lowest = std::numeric_limits<int>::min();
    EXPECT_TRUE(
        Handle({{"type", "settings.relay"}, {"code", 4}, {"value", lowest}}).value("ok").toBool());
    EXPECT_EQ(app.relays.back().second, lowest);
}

TEST_F(SettingsRequestsTest, OpenAsksTheWindowAndNeedsOne) {
    EXPECT_TRUE(Handle({{"type", "settings.open"}}).value("ok").toBool());
    EXPECT_EQ(app.settingsOpened, 1);
    const RequestTargets noWindow{nullptr, nullptr, nullptr, {}};
    for (const char* type : {"settings.open", "settings.relay"}) {
        const QJsonObject reply = HandleRequest({{"type", type}, {"code", 1}}, noWindow).reply;
        EXPECT_FALSE(reply.value("ok").toBool(true)) << type;
    }
}

}  // namespace
}  // namespace rerov::ipc
