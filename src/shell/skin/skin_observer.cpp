#include "shell/skin/skin_observer.h"

#include <algorithm>

namespace rerov::shell {

SkinReceiver::~SkinReceiver() { SkinObserver::Instance().RemoveReceiver(this); }

SkinObserver& SkinObserver::Instance() {
    static SkinObserver observer;
    return observer;
}

void SkinObserver::AddReceiver(SkinReceiver* receiver) {
    if (receiver == nullptr || IsSubscribed(receiver)) return;
    receivers_.push_back(receiver);
}

void SkinObserver::RemoveReceiver(SkinReceiver* receiver) { std::erase(receivers_, receiver); }

void SkinObserver::Broadcast(const SkinChangedParam& param) {
    // A receiver may unsubscribe itself or another one while it handles the change: walk a
    // copy and skip whoever left meanwhile.
    const std::vector<SkinReceiver*> snapshot = receivers_;
    for (SkinReceiver* receiver : snapshot) {
        if (IsSubscribed(receiver)) receiver->OnSkinChanged(param);
    }
}

bool SkinObserver::IsSubscribed(const SkinReceiver* receiver) const {
    return std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end();
}

}  // namespace rerov::shell
