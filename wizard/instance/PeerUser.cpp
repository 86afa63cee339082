#include "instance/PeerUser.h"

#include <sys/socket.h>

namespace tarvex {

bool PeerIsUser(int fd, uid_t user) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == user;
}

} // namespace tarvex
