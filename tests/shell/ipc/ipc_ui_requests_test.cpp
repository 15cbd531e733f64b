// The window-control requests (app.screenshot, app.ui.*) against a fake window: arguments,
// refusals without effect, replies that come when the window is done, the list's pages.

#include "shell/ipc/ipc_ui_requests.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "shell/ipc/ipc_protocol.h"
#include "tests/shell/ipc/ipc_fakes.h"

namespace rerov::ipc {
namespace {

using testing::FakeApp;
using testing::FakeSim;
using testing::FakeUi;

class UiRequestsTest : public ::testing::Test {
  protected:
    RequestOutcome Handle(const QJsonObject& request, bool simulated = true) {
        RequestTargets targets{&app, simulated ? &sim : nullptr, nullptr, {}};
        targets.ui = &ui;
        return HandleRequest(request, targets);
    }

    // Carries out a request answered later; the reply it sent, if any.
    std::vector<QJsonObject> Run(const RequestOutcome& outcome) {
        std::vector<QJsonObject> replies;
        EXPECT_TRUE(outcome.answerLater) << "an action is answered when the window is done";
        if (outcome.answerLater) {
            outcome.answerLater([&replies](const QJsonObject& reply) { replies.push_back(reply); });
        }
        return replies;
    }

    FakeApp app;
    FakeSim sim;
    FakeUi ui;
};

TEST_F(UiRequestsTest, UiCommandsNeedTheSimulatorButScreenshotsDoNot) {
    const QJsonObject requests[] = {
        {{"type", "app.ui.list"}},
        {{"type", "app.ui.click"}, {"name", "closebtn"}},
        {{"type", "app.ui.select"}, {"name", "combo"}, {"index", 1}},
        {{"type", "app.ui.text"}, {"name", "edit"}, {"text", "x"}},
        {{"type", "app.ui.value"}, {"name", "slider"}, {"value", 3}},
    };
    for (const QJsonObject& request : requests) {
        const RequestOutcome outcome = Handle(request, false);
        EXPECT_FALSE(outcome.reply.value("ok").toBool(true))
            << request.value("type").toString().toStdString();
        EXPECT_TRUE(outcome.reply.value("error").toString().contains("--simulate"));
        EXPECT_FALSE(outcome.answerLater);
    }
    EXPECT_TRUE(ui.actions.empty());

    ui.shot = ScreenshotInfo{"MainWnd", 800, 572};
    const RequestOutcome shot = Handle({{"type", "app.screenshot"}, {"path", "/tmp/a.png"}}, false);
    ASSERT_TRUE(shot.reply.value("ok").toBool())
        << shot.reply.value("error").toString().toStdString();
    EXPECT_EQ(ui.shots, std::vector<std::string>{"/tmp/a.png"});
    EXPECT_EQ(shot.reply.value("width").toInt(), 800);
    EXPECT_EQ(shot.reply.value("height").toInt(), 572);
    EXPECT_EQ(shot.reply.value("window").toString(), "MainWnd");
}

TEST_F(UiRequestsTest, ScreenshotRefusalsSayWhy) {
    struct Case {
        QJsonObject request;
        std::string shotError;
        const char* says;
        bool reachesWindow;
    };
    const Case cases[] = {
        {{{"type", "app.screenshot"}}, "", "no file", false},
        {{{"type", "app.screenshot"}, {"path", "shot.png"}}, "", "absolute", false},
        {{{"type", "app.screenshot"}, {"path", 5}}, "", "no file", false},
        {{{"type", "app.screenshot"}, {"path", "/no/such/a.png"}},
         "cannot write /no/such/a.png",
         "cannot write",
         true},
    };
    for (const Case& c : cases) {
        ui.shots.clear();
        ui.shotError = c.shotError;
        const QJsonObject reply = Handle(c.request).reply;
        EXPECT_FALSE(reply.value("ok").toBool(true)) << c.says;
        EXPECT_TRUE(reply.value("error").toString().contains(QLatin1String(c.says)))
            << reply.value("error").toString().toStdString();
        EXPECT_EQ(ui.shots.size(), c.reachesWindow ? 1u : 0u) << c.says;
    }
    RequestTargets noWindow{&app, &sim, nullptr, {}};
    EXPECT_FALSE(HandleRequest({{"type", "app.screenshot"}, {"path", "/tmp/a.png"}}, noWindow)
                     .reply.value("ok")
                     .toBool(true));
}

TEST_F(UiRequestsTest, ActionsReachTheWindowAndAreAnsweredWhenItIsDone) {
    struct Case {
        QJsonObject request;
        UiAction::Kind kind;
        int number;
        std::string text;
    };
    const Case cases[] = {
        {{{"type", "app.ui.click"}, {"name", "device_select_next"}}, UiAction::Kind::Click, 0, ""},
        {{{"type", "app.ui.select"}, {"name", "lang"}, {"index", 2}},
         UiAction::Kind::Select,
         2,
         ""},
        {{{"type", "app.ui.text"}, {"name", "edit"}, {"text", "Grüße"}},
         UiAction::Kind::Text,
         0,
         "Grüße"},
        {{{"type", "app.ui.text"}, {"name", "edit"}, {"text", ""}}, UiAction::Kind::Text, 0, ""},
        {{{"type", "app.ui.value"}, {"name", "slider"}, {"value", -40}},
         UiAction::Kind::Value,
         -40,
         ""},
    };
    for (const Case& c : cases) {
        ui.actions.clear();
        const std::vector<QJsonObject> replies = Run(Handle(c.request));
        ASSERT_EQ(ui.actions.size(), 1u);
        const UiAction& action = ui.actions.front();
        EXPECT_EQ(action.control, c.request.value("name").toString().toStdString());
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.number, c.number);
        EXPECT_EQ(action.text, c.text);
        EXPECT_TRUE(replies.empty()) << "no reply before the window is done";
    }

    ui.pending.clear();
    std::vector<QJsonObject> replies;
    const auto ask = [&](const QJsonObject& request) {
        Handle(request).answerLater(
            [&replies](const QJsonObject& reply) { replies.push_back(reply); });
    };
    ask({{"type", "app.ui.click"}, {"name", "a"}});
    ask({{"type", "app.ui.click"}, {"name", "b"}});
    ui.Finish();
    ui.Finish("\"b\" is disabled");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_TRUE(replies[0].value("ok").toBool());
    EXPECT_EQ(replies[0].value("type").toString(), "reply");
    EXPECT_FALSE(replies[1].value("ok").toBool(true));
    EXPECT_EQ(replies[1].value("error").toString(), "\"b\" is disabled");
}

TEST_F(UiRequestsTest, BadArgumentsAreRefusedBeforeTheWindowSeesThem) {
    const QJsonObject cases[] = {
        {{"type", "app.ui.click"}},
        {{"type", "app.ui.click"}, {"name", ""}},
        {{"type", "app.ui.click"}, {"name", 7}},
        {{"type", "app.ui.select"}, {"name", "c"}},
        {{"type", "app.ui.select"}, {"name", "c"}, {"index", 1.5}},
        {{"type", "app.ui.select"}, {"name", "c"}, {"index", "2"}},
        {{"type", "app.ui.select"}, {"name", "c"}, {"index", 1e12}},
        {{"type", "app.ui.value"}, {"name", "s"}, {"value", true}},
        {{"type", "app.ui.value"}, {"name", "s"}, {"value", -3e10}},
        {{"type", "app.ui.text"}, {"name", "e"}},
        {{"type", "app.ui.text"}, {"name", "e"}, {"text", 3}},
        {{"type", "app.ui.list"}, {"from", -1}},
        {{"type", "app.ui.list"}, {"from", 1}},  // the fake window has no controls
        {{"type", "app.ui.list"}, {"from", "0"}},
    };
    for (const QJsonObject& request : cases) {
        const RequestOutcome outcome = Handle(request);
        const QString text =
            QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact));
        EXPECT_FALSE(outcome.answerLater) << text.toStdString();
        EXPECT_FALSE(outcome.reply.value("ok").toBool(true)) << text.toStdString();
        EXPECT_FALSE(outcome.reply.value("error").toString().isEmpty()) << text.toStdString();
    }
    EXPECT_TRUE(ui.actions.empty());
}

TEST_F(UiRequestsTest, ARefusedActionIsAnErrorReply) {
    ui.refusal = "no control named \"nope\" in the window or an open modal window";
    const std::vector<QJsonObject> replies =
        Run(Handle({{"type", "app.ui.click"}, {"name", "nope"}}));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_FALSE(replies[0].value("ok").toBool(true));
    EXPECT_EQ(replies[0].value("error").toString().toStdString(), ui.refusal);
}

TEST_F(UiRequestsTest, ControlRowsCarryWhatEachKindHas) {
    ControlInfo slider;
    slider.window = "MainWnd";
    slider.name = "volume";
    slider.className = "QSlider";
    slider.visible = true;
    slider.enabled = false;
    slider.x = 10;
    slider.width = 120;
    slider.value = 30;
    slider.minimum = 0;
    slider.maximum = 100;
    const QJsonObject row = ControlToJson(slider);
    EXPECT_EQ(row.value("name").toString(), "volume");
    EXPECT_EQ(row.value("class").toString(), "QSlider");
    EXPECT_TRUE(row.value("visible").toBool());
    EXPECT_FALSE(row.value("enabled").toBool(true));
    EXPECT_EQ(row.value("x").toInt(), 10);
    EXPECT_EQ(row.value("width").toInt(), 120);
    EXPECT_EQ(row.value("value").toInt(), 30);
    EXPECT_EQ(row.value("maximum").toInt(), 100);
    for (const char* absent : {"text", "checked", "selected", "index", "count"}) {
        EXPECT_FALSE(row.contains(QLatin1String(absent))) << absent;
    }

    ControlInfo option;
    option.name = "lang_en";
    option.selected = false;
    option.text =
        std::string(kMaxListedTextChars - 1, 'a') + "\xF0\x9F\x98\x80";  // ends in an emoji
    const QJsonObject optionRow = ControlToJson(option);
    EXPECT_FALSE(optionRow.value("selected").toBool(true));
    EXPECT_FALSE(optionRow.contains("value"));
    EXPECT_TRUE(optionRow.value("textCut").toBool());
    const QString cut = optionRow.value("text").toString();
    EXPECT_EQ(cut, QString(kMaxListedTextChars - 1, u'a')) << "the emoji is not split in half";
}

TEST_F(UiRequestsTest, TheListComesInPagesThatFitTheChannel) {
    for (int i = 0; i < 400; ++i) {
        ControlInfo control;
        control.window = "MainWnd";
        control.name = "key_" + std::to_string(i);
        control.className = "DeviceKeyButton";
        control.text = std::string(300, 'k');
        ui.controls.push_back(control);
    }
    QJsonArray all;
    int from = 0;
    int pages = 0;
    for (;;) {
        const RequestOutcome outcome = Handle({{"type", "app.ui.list"}, {"from", from}});
        ASSERT_TRUE(outcome.reply.value("ok").toBool());
        EXPECT_LE(EncodeMessage(outcome.reply).size(), qsizetype{kMaxMessageBytes});
        EXPECT_EQ(outcome.reply.value("total").toInt(), 400);
        for (const QJsonValue& row : outcome.reply.value("controls").toArray()) all.append(row);
        ++pages;
        if (!outcome.reply.contains("next")) break;
        const int next = outcome.reply.value("next").toInt();
        ASSERT_GT(next, from);
        from = next;
    }
    EXPECT_GT(pages, 1) << "400 rows of 300 characters do not fit one message";
    ASSERT_EQ(all.size(), 400);
    for (int i = 0; i < 400; ++i) {
        EXPECT_EQ(all[i].toObject().value("name").toString().toStdString(),
                  "key_" + std::to_string(i));
    }

    // The longest rows still make pages: each holds at least one.
    ui.controls.assign(3, ControlInfo{});
    for (ControlInfo& control : ui.controls) control.text = std::string(100000, 'x');
    const RequestOutcome big = Handle({{"type", "app.ui.list"}});
    EXPECT_LE(EncodeMessage(big.reply).size(), qsizetype{kMaxMessageBytes});
    EXPECT_GE(big.reply.value("controls").toArray().size(), 1);
}

}  // namespace
}  // namespace rerov::ipc
