#include "shell/ipc/peer_user.h"

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace rerov::ipc {

bool PeerIsSameUser(qintptr descriptor) {
#ifdef Q_OS_LINUX
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0) {
        return false;  // a socket we cannot ask is not trusted
    }
    return credentials.uid == ::getuid();
#else
    Q_UNUSED(descriptor);
    return true;
#endif
}

}  // namespace rerov::ipc
