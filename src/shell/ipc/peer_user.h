#pragma once
// Who is at the other end of a local socket.

#include <QtGlobal>

namespace rerov::ipc {

// True when the peer of the connected local socket `descriptor` runs as the same user as
// this process. Where the system cannot tell, true: the socket's folder and permissions
// already keep other users out.
bool PeerIsSameUser(qintptr descriptor);

}  // namespace rerov::ipc
