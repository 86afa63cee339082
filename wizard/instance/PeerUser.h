#pragma once

#include <sys/types.h>

namespace tarvex {

// Whether the process at the other end of the connected local socket `fd` runs as `user`, as
// the kernel recorded it when the connection was made. False when it cannot be told.
[[nodiscard]] bool PeerIsUser(int fd, uid_t user);

} // namespace tarvex
