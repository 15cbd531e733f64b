#include "profiles/profile_list_watcher.h"

#include <QFileInfo>
#include <QString>

namespace rerov {

namespace {

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace

ProfileListWatcher::ProfileListWatcher(ProfileStore& store,
                                       std::function<void(RefreshResult)> onOutsideChange)
    : store_(store), onOutsideChange_(std::move(onOutsideChange)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    QObject::connect(&settle_, &QTimer::timeout, [this] { Check(); });
    const auto changed = [this](const QString&) {
        // A list replaced by rename is a new file: the watch on the old one is gone.
        Watch();
        settle_.start();
    };
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, changed);
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, changed);
    Watch();
}

void ProfileListWatcher::Watch() {
    if (store_.Folder().empty()) return;
    const QString folder = PathText(store_.Folder());
    const QString list = PathText(store_.Folder() / kProfileListFileName);
    // addPath warns about a path that is already watched; the list file may be missing.
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
    if (!watcher_.files().contains(list) && QFileInfo::exists(list)) watcher_.addPath(list);
}

void ProfileListWatcher::Check() {
    const RefreshResult result = store_.Refresh();
    if (result == RefreshResult::Busy) {
        settle_.start();  // another program is still at work; look again when it is done
        return;
    }
    if (result != RefreshResult::Unchanged && onOutsideChange_) onOutsideChange_(result);
}

}  // namespace rerov
