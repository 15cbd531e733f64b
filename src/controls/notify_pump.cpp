#include "controls/notify_pump.h"

#include <QVariant>

namespace rerov::ui {
namespace {
QString ExactKey(const QString& type, const QString& name) { return type + u'\n' + name; }
}  // namespace

void NotifyPump::On(const QString& type, const QString& name, Handler handler) {
    exact_.insert(ExactKey(type, name), std::move(handler));
}

void NotifyPump::OnPrefix(const QString& type, const QString& prefix, Handler handler) {
    prefixes_.push_back({type, prefix, std::move(handler)});
}

void NotifyPump::OnType(const QString& type, Handler handler) {
    byType_.insert(type, std::move(handler));
}

void NotifyPump::AddVirtualWnd(const QString& name, NotifyPump* pump) {
    if (!name.isEmpty() && pump != nullptr && pump != this) virtualWnds_.insert(name, pump);
}

void NotifyPump::RemoveVirtualWnd(const QString& name) { virtualWnds_.remove(name); }

QString NotifyPump::VirtualWndOf(const QWidget* control) {
    for (const QWidget* w = control; w != nullptr; w = w->parentWidget()) {
        const QString name = w->property("virtualwnd").toString();
        if (!name.isEmpty()) return name;
    }
    return {};
}

bool NotifyPump::LoopDispatch(const Notification& msg) const {
    if (!virtualWnds_.isEmpty() && msg.sender) {
        const QString wnd = VirtualWndOf(msg.sender);
        if (const auto it = virtualWnds_.constFind(wnd); it != virtualWnds_.cend()) {
            if ((*it)->LoopDispatch(msg)) return true;
        }
    }
    const QString name = msg.SenderName();
    if (const auto it = exact_.constFind(ExactKey(msg.type, name)); it != exact_.cend()) {
        (*it)(msg);
        return true;
    }
    const PrefixRoute* best = nullptr;
    for (const PrefixRoute& route : prefixes_) {
        if (route.type == msg.type && name.startsWith(route.prefix) &&
            (best == nullptr || route.prefix.size() > best->prefix.size())) {
            best = &route;
        }
    }
    if (best != nullptr) {
        best->handler(msg);
        return true;
    }
    if (const auto it = byType_.constFind(msg.type); it != byType_.cend()) {
        (*it)(msg);
        return true;
    }
    return false;
}

}  // namespace rerov::ui
