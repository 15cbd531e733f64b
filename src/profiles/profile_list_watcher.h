#pragma once

#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>

#include "profiles/profile_store.h"

namespace rerov {

/// Notices when another program changes a family's profile list and brings the store up to
/// date: it watches the family folder and its list file, lets a burst of changes settle, then
/// calls ProfileStore::Refresh and reports anything that changed what is shown. The store's own
/// changes are not reported (Refresh finds nothing new). Needs the thread's event loop; the
/// store must outlive the watcher.
class ProfileListWatcher {
  public:
    /// Changes come to rest within this many milliseconds (a save is a few file events).
    static constexpr int kSettleMs = 100;

    ProfileListWatcher(ProfileStore& store, std::function<void(RefreshResult)> onOutsideChange);
    ProfileListWatcher(const ProfileListWatcher&) = delete;
    ProfileListWatcher& operator=(const ProfileListWatcher&) = delete;

  private:
    void Watch();
    void Check();

    ProfileStore& store_;
    std::function<void(RefreshResult)> onOutsideChange_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace rerov
