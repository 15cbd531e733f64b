#pragma once
// The program's local IPC channel: where it listens and how messages are framed. A message
// is a 4-byte big-endian length followed by that many bytes of one UTF-8 JSON object with a
// string "type". Requests and replies use the same framing; every request gets one reply
// {"type": "reply", "ok": true, ...} or {"type": "reply", "ok": false, "error": "..."}.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <cstdint>

namespace rerov::ipc {

// Largest body accepted in either direction. Requests are a few dozen bytes, most replies a
// few hundred; the control list is sent in pages well below it, and screenshots go to a
// file, never through the channel.
inline constexpr uint32_t kMaxMessageBytes = 64 * 1024;

// Request types.
inline constexpr char kActivate[] = "activate";     // a second start: come to the front
inline constexpr char kAppState[] = "app.state";    // the device list as the window shows it
inline constexpr char kAppShow[] = "app.show";      // bring the window to the front
inline constexpr char kAppQuit[] = "app.quit";      // exit as the tray menu's "exit" does
inline constexpr char kSimPlug[] = "sim.plug";      // {"device": name}
inline constexpr char kSimUnplug[] = "sim.unplug";  // {"device": name}
inline constexpr char kSimReach[] = "sim.reach";    // {"device": "keyboard", "on": bool}
inline constexpr char kReply[] = "reply";           // the type of every reply
// {"path": absolute file} -> {"window", "width", "height"}: a PNG of the top-most window.
inline constexpr char kAppScreenshot[] = "app.screenshot";
// {"from": first row} -> {"controls": [...], "total", "next" while more rows follow}.
inline constexpr char kAppUiList[] = "app.ui.list";
inline constexpr char kAppUiClick[] = "app.ui.click";    // {"name"}
inline constexpr char kAppUiSelect[] = "app.ui.select";  // {"name", "index"}
inline constexpr char kAppUiText[] = "app.ui.text";      // {"name", "text"}
inline constexpr char kAppUiValue[] = "app.ui.value";    // {"name", "value"}

// The settings window. An updater, a program of its own, reports its progress with
// {"code": 1 finished | 2 failed | 3 given up | 4 progress, "value": percent (code 4; any
// whole number, default 0)} -> {"delivered": a settings window was open and took it,
// "closed": it closed afterwards (it stays open while an update runs)}. A code or value that
// is missing, not a whole number or out of range is refused. "settings.open" opens the
// window centred, as the tray menu's "Settings" does; the reply comes before it shows.
inline constexpr char kSettingsRelay[] = "settings.relay";
inline constexpr char kSettingsOpen[] = "settings.open";
inline constexpr int kRelayCodeFirst = 1;
inline constexpr int kRelayCodeLast = 4;

// Inspecting the simulated devices: {"device": name, "area": name} gives one memory area
// as hex; a trace start {"file": absolute path} writes every report to the file until stop.
inline constexpr char kSimMemory[] = "sim.memory";
inline constexpr char kSimTraceStart[] = "sim.trace.start";
inline constexpr char kSimTraceStop[] = "sim.trace.stop";
// {} -> {"violations": n}: command reports the simulated firmware refused for their timing.
inline constexpr char kSimTiming[] = "sim.timing";
// Acting on the simulated keyboard as its user would, each {"device": "keyboard", ...}:
// a key at a device position pressed or released {"position", "down": bool}; the profile
// key {"profile", optional "field": the device field of the report}; a change on the device
// reported (0x402 then 0x401) {}; one byte of the parameter area set {"offset", "value"}.
inline constexpr char kSimKey[] = "sim.key";
inline constexpr char kSimOnboard[] = "sim.onboard";
inline constexpr char kSimChanged[] = "sim.changed";
inline constexpr char kSimParam[] = "sim.param";

// The name of the single instance; the lock file and the channel derive from it.
inline constexpr char kInstanceName[] = "ZIRAV OD800 OVAV";

// The folder of the lock file and the channel's socket: the user's runtime folder
// (XDG_RUNTIME_DIR on Linux, private to the user). Empty when none can be had.
QString RuntimeFolder();
// The server name the program listens on (a socket path in RuntimeFolder() that carries
// the instance name and the user id), empty without a runtime folder.
QString ServerName();
// The single-instance lock file beside the socket, empty without a runtime folder.
QString LockFilePath();

// The frame of one message: length prefix and compact JSON.
QByteArray EncodeMessage(const QJsonObject& message);

// A successful reply: the given fields and {"type": "reply", "ok": true}.
QJsonObject OkReply(const QJsonObject& fields = {});
// A refusal {"type": "reply", "ok": false, "error": text}.
QJsonObject ErrorReply(const QString& text);

// Splits a byte stream into messages. Feed it what arrives; it hands out whole messages in
// order. Once it has seen a bad frame (empty, too long, not a JSON object, no string
// "type") it stays failed: the rest of that stream cannot be trusted.
class FrameReader {
  public:
    enum class Status {
        NeedMore,  // no whole message buffered yet
        Message,   // *message holds the next one
        Failed,    // the stream is broken; Error() says why
    };

    // Appends received bytes (dropped once the stream has failed).
    void Append(const QByteArray& bytes);
    // The next whole message, if any.
    Status Next(QJsonObject* message);
    // Why the stream failed, empty otherwise.
    QString Error() const { return error_; }
    // Bytes buffered and not yet handed out.
    qsizetype Buffered() const { return buffer_.size(); }

  private:
    Status Fail(const QString& reason);

    QByteArray buffer_;
    QString error_;
};

}  // namespace rerov::ipc
