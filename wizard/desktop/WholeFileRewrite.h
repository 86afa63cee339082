#pragma once

#include "desktop/ShortcutWriter.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <sys/types.h>

namespace tarvex {

// What an edit makes of a file's whole content.
struct EditedContent {
    std::optional<QByteArray> content; // nothing: the file stays as it is
    QString refusal;                   // why the content cannot be edited safely; empty if it can
};

// The edit of a file's content; `old` is nothing when the file does not exist yet.
using ContentEdit = std::function<EditedContent(const std::optional<QByteArray>& old)>;

// What a replacement file may do and whom it belongs to; nothing set keeps the temporary file's
// own: private to the user.
struct ReplacementRights {
    std::optional<mode_t> mode;
    std::optional<uid_t> owner; // changed only where allowed: root gives a file back to its owner
    std::optional<gid_t> group;
};

// Writes `content` into a hidden temporary file beside `target`, gives it `rights`, puts it on
// the disk and renames it over `target`: a reader sees the old file or the new one, never half
// of either. Returns why it failed; the target is then as it was.
[[nodiscard]] std::optional<QString> ReplaceFile(const QString& target, const QByteArray& content,
                                                 const ReplacementRights& rights);

// The system's words for an errno.
[[nodiscard]] QString SystemReason(int error);

enum class WhenMissing { Create, Leave };

// Rewrites a file of the user's whole: the new content goes into a hidden temporary file beside
// it, takes the old file's permissions (and its owner, where that is allowed) and is renamed over
// it, so a reader sees the old file or the new one, never half of either. A symbolic link is
// followed and stays a link. With WhenMissing::Create a missing file is created and its missing
// folders with it (mode 0700, as the XDG base directories ask); with Leave it stays missing.
// A file its owner made read-only (no owner's write bit), or one that is not this user's, is
// refused. Any failure leaves the file, and the link, as they were.
[[nodiscard]] std::optional<ShortcutFailure>
RewriteWholeFile(const QString& path, WhenMissing missing, const ContentEdit& edit);

} // namespace tarvex
