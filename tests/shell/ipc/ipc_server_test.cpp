// The IPC server over real local sockets, with a fake window: requests and replies, bad
// frames refused without effect, quit after the reply, user-only access, the single-instance
// lock and a second start's activation.

#include "shell/ipc/ipc_server.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <atomic>
#include <functional>
#include <thread>

#include "shell/ipc/ipc_client.h"
#include "shell/ipc/ipc_protocol.h"
#include "shell/ipc/single_instance.h"
#include "tests/shell/ipc/ipc_fakes.h"

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace rerov::ipc {
namespace {

using testing::FakeApp;
using testing::FakeSim;
using testing::FakeUi;

constexpr int kGenerousMs = 10000;

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        name_ = folder_.filePath(QStringLiteral("server.ipc"));
        QString error;
        ASSERT_TRUE(server_.Listen(name_, &error)) << error.toStdString();
        server_.SetTargets(RequestTargets{&app_, &sim_, nullptr, {}});
    }

    // Runs `client` on its own thread while this thread serves the server's event loop.
    void RunClient(const std::function<void()>& client) {
        QEventLoop loop;
        std::thread thread([&] {
            client();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // a hung client fails, not hangs
        loop.exec();
        thread.join();
    }

    QJsonObject Ask(IpcClient& client, const QJsonObject& request) {
        QJsonObject reply;
        QString error;
        EXPECT_TRUE(client.Request(request, kGenerousMs, &reply, &error)) << error.toStdString();
        return reply;
    }

    void FinishWhenPerformed(FakeUi* ui, const std::string& error) {
        if (ui->pending.empty()) {
            QTimer::singleShot(5, &server_, [this, ui, error] { FinishWhenPerformed(ui, error); });
            return;
        }
        ui->Finish(error);
    }

    QTemporaryDir folder_;
    QString name_;
    IpcServer server_;
    FakeApp app_;
    FakeSim sim_;
};

QByteArray Header(quint32 length) {
    QByteArray header(4, '\0');
    qToBigEndian(length, header.data());
    return header;
}

TEST_F(ServerTest, RequestsOnOneConnectionAreAnsweredInOrder) {
    app_.state.entries = {{"keyboard", true, true, true, false}};
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        const QJsonObject state = Ask(client, {{"type", "app.state"}});
        EXPECT_TRUE(state.value("ok").toBool());
        EXPECT_EQ(state.value("entries").toArray().size(), 1);
        EXPECT_TRUE(
            Ask(client, {{"type", "sim.unplug"}, {"device", "keyboard"}}).value("ok").toBool());
        EXPECT_TRUE(Ask(client, {{"type", "activate"}}).value("ok").toBool());
        const QJsonObject refused = Ask(client, {{"type", "sim.plug"}, {"device", "toaster"}});
        EXPECT_FALSE(refused.value("ok").toBool(true));
    });
    EXPECT_EQ(app_.fronts, 1);
    EXPECT_EQ(sim_.calls, std::vector<std::string>{"unplug keyboard"});
}

TEST_F(ServerTest, ABadFrameIsAnsweredTheConnectionClosedAndNothingDone) {
    const QByteArray show = EncodeMessage(QJsonObject{{"type", "app.show"}});
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", Header(0) + show},
        {"too large", Header(kMaxMessageBytes + 1) + QByteArray(512, 'x') + show},
        {"not json", Header(5) + "hello" + show},
        {"no type", Header(2) + "{}" + show},
    };
    for (const Case& c : cases) {
        RunClient([&] {
            IpcClient client;
            QString error;
            ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
            ASSERT_TRUE(client.SendRaw(c.bytes, kGenerousMs)) << c.name;
            QJsonObject reply;
            ASSERT_TRUE(client.ReadReply(kGenerousMs, &reply, &error))
                << c.name << ": " << error.toStdString();
            EXPECT_FALSE(reply.value("ok").toBool(true)) << c.name;
            EXPECT_FALSE(reply.value("error").toString().isEmpty()) << c.name;
            EXPECT_TRUE(client.WaitForClosed(kGenerousMs)) << c.name;
        });
        EXPECT_EQ(app_.fronts, 0) << c.name << ": the request after a bad frame was carried out";
    }
    // The server itself is unharmed.
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        EXPECT_TRUE(Ask(client, {{"type", "app.show"}}).value("ok").toBool());
    });
    EXPECT_EQ(app_.fronts, 1);
}

TEST_F(ServerTest, ALateReplyHoldsBackItsConnectionOnlyAndKeepsTheOrder) {
    FakeUi ui;
    RequestTargets targets{&app_, &sim_, nullptr, {}};
    targets.ui = &ui;
    server_.SetTargets(targets);
    // The window finishes an action when the client thread says so (on this thread), once
    // the server has read that action's request.
    const auto finishOnServerThread = [&](const std::string& error) {
        QMetaObject::invokeMethod(
            &server_, [this, &ui, error] { FinishWhenPerformed(&ui, error); },
            Qt::QueuedConnection);
    };
    RunClient([&] {
        IpcClient waiting;
        IpcClient other;
        QString error;
        ASSERT_TRUE(waiting.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        ASSERT_TRUE(other.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        // A click and, right behind it on the same connection, a state request.
        ASSERT_TRUE(waiting.SendRaw(
            EncodeMessage({{"type", "app.ui.click"}, {"name", "device_select_next"}}) +
                EncodeMessage({{"type", "app.state"}}),
            kGenerousMs));
        // Other connections are served meanwhile.
        EXPECT_TRUE(Ask(other, {{"type", "app.show"}}).value("ok").toBool());
        QJsonObject reply;
        EXPECT_FALSE(waiting.ReadReply(200, &reply, &error)) << "nothing before the window is done";

        finishOnServerThread("");
        ASSERT_TRUE(waiting.ReadReply(kGenerousMs, &reply, &error)) << error.toStdString();
        EXPECT_TRUE(reply.value("ok").toBool());
        EXPECT_FALSE(reply.contains("entries")) << "the click's reply comes first";
        ASSERT_TRUE(waiting.ReadReply(kGenerousMs, &reply, &error)) << error.toStdString();
        EXPECT_TRUE(reply.contains("entries"));

        // An action that fails is an error reply on the same connection.
        ASSERT_TRUE(waiting.SendRaw(
            EncodeMessage({{"type", "app.ui.value"}, {"name", "volume"}, {"value", 500}}),
            kGenerousMs));
        EXPECT_TRUE(Ask(other, {{"type", "app.show"}}).value("ok").toBool());
        finishOnServerThread("500 is out of range");
        ASSERT_TRUE(waiting.ReadReply(kGenerousMs, &reply, &error)) << error.toStdString();
        EXPECT_EQ(reply.value("error").toString(), "500 is out of range");

        // A client that leaves before its reply: the late reply goes nowhere.
        ASSERT_TRUE(
            waiting.SendRaw(EncodeMessage({{"type", "app.ui.click"}, {"name", "x"}}), kGenerousMs));
        EXPECT_TRUE(Ask(other, {{"type", "app.show"}}).value("ok").toBool());
        waiting.Close();
        finishOnServerThread("");
        EXPECT_TRUE(Ask(other, {{"type", "app.show"}}).value("ok").toBool());
    });
    EXPECT_TRUE(ui.pending.empty());
    EXPECT_EQ(ui.actions.size(), 3u);
}

TEST_F(ServerTest, QuitIsAnsweredThenEndsTheProgramOnceAndIgnoresWhatFollows) {
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        // Both requests go out together; only the first is carried out.
        ASSERT_TRUE(client.SendRaw(EncodeMessage(QJsonObject{{"type", "app.quit"}}) +
                                       EncodeMessage(QJsonObject{{"type", "app.show"}}),
                                   kGenerousMs));
        QJsonObject reply;
        ASSERT_TRUE(client.ReadReply(kGenerousMs, &reply, &error)) << error.toStdString();
        EXPECT_TRUE(reply.value("ok").toBool());
    });
    // The exit comes through the event loop after the reply; let it run.
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(app_.exits, 1);
    EXPECT_EQ(app_.fronts, 0);
}

TEST_F(ServerTest, ConnectionsBeyondTheLimitAreClosedAndTheOthersStillServed) {
    RunClient([&] {
        std::vector<std::unique_ptr<IpcClient>> idle;
        QString error;
        for (int i = 0; i < IpcServer::kMaxConnections; ++i) {
            idle.push_back(std::make_unique<IpcClient>());
            ASSERT_TRUE(idle.back()->Connect(name_, kGenerousMs, &error)) << error.toStdString();
        }
        IpcClient extra;
        ASSERT_TRUE(extra.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        EXPECT_TRUE(extra.WaitForClosed(kGenerousMs)) << "a connection over the limit was kept";
        EXPECT_TRUE(Ask(*idle.front(), {{"type", "app.show"}}).value("ok").toBool());
        // A connection that goes makes room for a new one.
        idle.back()->Close();
        idle.pop_back();
        bool served = false;
        for (int attempt = 0; attempt < 50 && !served; ++attempt) {
            IpcClient next;
            QJsonObject reply;
            served = next.Connect(name_, kGenerousMs, &error) &&
                     next.Request({{"type", "app.show"}}, kGenerousMs, &reply, &error) &&
                     reply.value("ok").toBool();
        }
        EXPECT_TRUE(served) << error.toStdString();
    });
    EXPECT_GE(app_.fronts, 2);
}

TEST_F(ServerTest, AClientThatLeavesInTheMiddleOfAFrameLeavesNothingBehind) {
    RunClient([&] {
        IpcClient client;
        QString error;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &error)) << error.toStdString();
        const QByteArray frame = EncodeMessage(QJsonObject{{"type", "app.show"}});
        ASSERT_TRUE(client.SendRaw(frame.left(frame.size() - 3), kGenerousMs));
        client.Close();
    });
    QEventLoop loop;
    for (int i = 0; i < 200 && server_.ConnectionCount() > 0; ++i) {
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_EQ(server_.ConnectionCount(), 0);
    EXPECT_EQ(app_.fronts, 0);
}

TEST_F(ServerTest, TheSocketIsOpenToItsUserOnly) {
    const QFileInfo socket(name_);
    ASSERT_TRUE(socket.exists());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(socket.permissions() & others, QFile::Permissions())
        << std::oct << socket.permissions();
}

TEST_F(ServerTest, ListeningTakesOverWhatACrashedInstanceLeftBehind) {
    server_.Close();
    QFile leftover(name_);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    QString error;
    ASSERT_TRUE(server_.Listen(name_, &error)) << error.toStdString();
    RunClient([&] {
        IpcClient client;
        QString connectError;
        ASSERT_TRUE(client.Connect(name_, kGenerousMs, &connectError))
            << connectError.toStdString();
        EXPECT_TRUE(Ask(client, {{"type", "app.show"}}).value("ok").toBool());
    });
    EXPECT_EQ(app_.fronts, 1);
}

TEST_F(ServerTest, ASecondStartActivatesTheFirstThroughTheLock) {
    const QString lockPath = folder_.filePath(QStringLiteral("instance.lock"));
    SingleInstance first(lockPath);
    SingleInstance second(lockPath);
    QString error;
    ASSERT_EQ(first.TryClaim(&error), SingleInstance::Claim::First);
    ASSERT_EQ(second.TryClaim(&error), SingleInstance::Claim::AlreadyRunning);
    bool activated = false;
    RunClient([&] { activated = SingleInstance::ActivateRunning(name_, kGenerousMs, &error); });
    EXPECT_TRUE(activated) << error.toStdString();
    EXPECT_EQ(app_.fronts, 1);
    // Once the first has gone, the next start is the first again.
    first.Release();
    EXPECT_EQ(second.TryClaim(&error), SingleInstance::Claim::First);
}

TEST(SingleInstanceTest, ActivationGivesUpWhenNothingListens) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString error;
    EXPECT_FALSE(
        SingleInstance::ActivateRunning(folder.filePath(QStringLiteral("none.ipc")), 300, &error));
    EXPECT_FALSE(error.isEmpty());
    SingleInstance noFolder(QString{});
    EXPECT_EQ(noFolder.TryClaim(&error), SingleInstance::Claim::Unavailable);
}

#ifdef Q_OS_LINUX
// Another user who gets at the socket (here: folder and socket opened up on purpose) is
// still refused by the peer's credentials. Needs root to become another user.
TEST_F(ServerTest, AConnectionFromAnotherUserIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    ASSERT_EQ(::chmod(folder_.path().toLocal8Bit().constData(), 0777), 0);
    ASSERT_EQ(::chmod(name_.toLocal8Bit().constData(), 0777), 0);
    const QByteArray path = name_.toLocal8Bit();
    const QByteArray frame = EncodeMessage(QJsonObject{{"type", "app.show"}});
    int status = -1;
    RunClient([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            // Exit codes: 0 refused (closed without a reply), 1 answered, 2 set-up failed.
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (fd < 0 || path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
                ::_exit(2);
            }
            memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
                ::_exit(2);
            }
            // The server may already have closed the connection: no SIGPIPE for that.
            (void)!::send(fd, frame.constData(), static_cast<size_t>(frame.size()), MSG_NOSIGNAL);
            char byte = 0;
            ::_exit(::read(fd, &byte, 1) > 0 ? 1 : 0);
        }
        int raw = 0;
        if (child > 0 && ::waitpid(child, &raw, 0) == child && WIFEXITED(raw)) {
            status = WEXITSTATUS(raw);
        }
    });
    EXPECT_EQ(status, 0) << "1: the other user got an answer, 2: the test could not connect";
    EXPECT_EQ(app_.fronts, 0);
}
#endif

}  // namespace
}  // namespace rerov::ipc
