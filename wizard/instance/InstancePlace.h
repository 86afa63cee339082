#pragma once

#include <QString>
#include <optional>

namespace tarvex {

// Where the open wizard of a user is found: its lock file and its local socket, in the user's
// runtime folder (XDG_RUNTIME_DIR, which only the user may enter), named with the user's id.
struct InstancePlace {
    QString lock;
    QString socket;
};

// Nothing when the session has no runtime folder: then every start is a wizard of its own.
[[nodiscard]] std::optional<InstancePlace> UserInstancePlace();

} // namespace tarvex
