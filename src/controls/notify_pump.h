#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <vector>

#include "controls/notification.h"

namespace rerov::ui {

/// Routes a notification to a handler chosen by notification type and control name, so that the
/// routing of a window or page is written as a table. UI thread only.
class NotifyPump {
  public:
    /// A handler of one routed notification.
    using Handler = std::function<void(const Notification&)>;

    /// Routes `type` from the control named exactly `name`.
    void On(const QString& type, const QString& name, Handler handler);
    /// Routes `type` from every control whose name starts with `prefix` ("key_" for "key_12").
    void OnPrefix(const QString& type, const QString& prefix, Handler handler);
    /// Routes `type` from any control that no named or prefix route took.
    void OnType(const QString& type, Handler handler);

    /// Adds a pump for a named virtual window; notifications of controls inside a container
    /// whose "virtualwnd" attribute names it are handed to that pump first.
    void AddVirtualWnd(const QString& name, NotifyPump* pump);
    /// Removes a virtual window added before.
    void RemoveVirtualWnd(const QString& name);

    /// Runs the handler of `msg`: virtual window, exact name, longest prefix, then type.
    /// Returns true when a handler ran.
    bool LoopDispatch(const Notification& msg) const;

    /// The virtual window name of `control`: its own or nearest ancestor's "virtualwnd".
    static QString VirtualWndOf(const QWidget* control);

  private:
    struct PrefixRoute {
        QString type;
        QString prefix;
        Handler handler;
    };
    QHash<QString, Handler> exact_;  // key: type + '\n' + name
    std::vector<PrefixRoute> prefixes_;
    QHash<QString, Handler> byType_;
    QHash<QString, NotifyPump*> virtualWnds_;
};

}  // namespace rerov::ui
