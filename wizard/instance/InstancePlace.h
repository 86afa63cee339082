#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

namespace tarvex {

// Where the open wizard of a user is found: its lock file and its local socket, in the user's
// runtime folder (XDG_RUNTIME_DIR, which only the user may enter), named with the user's id.
struct InstancePlace {
    QString lock;
    QString socket;
};

// The place inside `folder` for `user`, only when the folder itself (not a link to it) is a
// directory owned by `user` that no one else may enter or write: mode 0700 exactly. A shared
// or borrowed folder (a sticky /tmp, another user's folder under sudo -E) gives nothing, and
// the log says why.
[[nodiscard]] std::optional<InstancePlace> InstancePlaceIn(const QString& folder, uid_t user);

// The place in this user's runtime folder. Nothing when the session has none, or none that is
// the user's alone: then every start is a wizard of its own.
[[nodiscard]] std::optional<InstancePlace> UserInstancePlace();

} // namespace tarvex
