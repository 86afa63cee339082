#include "desktop/WholeFileRewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tarvex {

namespace {

// Creates the folder and every missing one above it, each private to the user.
std::optional<QString> makeFolders(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) {
        return std::nullopt;
    }
    if (info.exists() || info.isSymLink()) {
        return SystemReason(ENOTDIR);
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath()) {
        if (auto failure = makeFolders(parent)) {
            return failure;
        }
    }
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        return SystemReason(errno);
    }
    return std::nullopt;
}

} // namespace

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

std::optional<QString> ReplaceFile(const QString& target, const QByteArray& content,
                                   const ReplacementRights& rights) {
    const QFileInfo targetInfo(target);
    QTemporaryFile temporary(targetInfo.dir().filePath(QLatin1Char('.') + targetInfo.fileName() +
                                                       QStringLiteral(".XXXXXX")));
    if (!temporary.open()) {
        return temporary.errorString();
    }
    if (temporary.write(content) != content.size() || !temporary.flush()) {
        return temporary.errorString();
    }
    if (rights.mode && fchmod(temporary.handle(), *rights.mode) != 0) {
        return SystemReason(errno);
    }
    if (rights.owner || rights.group) {
        // Only root may give the file back to its owner; anyone else is its owner already.
        (void)fchown(temporary.handle(), rights.owner.value_or(static_cast<uid_t>(-1)),
                     rights.group.value_or(static_cast<gid_t>(-1)));
    }
    if (fsync(temporary.handle()) != 0) {
        return SystemReason(errno);
    }
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        return SystemReason(errno);
    }
    temporary.setAutoRemove(false);
    return std::nullopt;
}

std::optional<ShortcutFailure> RewriteWholeFile(const QString& path, WhenMissing missing,
                                                const ContentEdit& edit) {
    const QFileInfo given(path);
    // The file itself, where the link leads; a link that leads nowhere is not followed into
    // creating a file somewhere else.
    const QString target = given.isSymLink() ? given.canonicalFilePath() : given.absoluteFilePath();
    if (target.isEmpty()) {
        return ShortcutFailure{path, SystemReason(ENOENT)};
    }
    const QByteArray encoded = QFile::encodeName(target);
    struct stat old {};
    std::optional<QByteArray> content;
    if (::stat(encoded.constData(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            return ShortcutFailure{path, SystemReason(S_ISDIR(old.st_mode) ? EISDIR : EINVAL)};
        }
        // The user's own decisions: a file kept from being written, or someone else's file (root
        // would otherwise write it for them), stays as it is.
        if (old.st_uid != geteuid()) {
            return ShortcutFailure{path,
                                   QStringLiteral("owned by another user (%1)").arg(old.st_uid)};
        }
        if ((old.st_mode & S_IWUSR) == 0) {
            return ShortcutFailure{path, QStringLiteral("made read-only by its owner")};
        }
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly)) {
            return ShortcutFailure{path, file.errorString()};
        }
        content = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            return ShortcutFailure{path, file.errorString()};
        }
    } else if (errno != ENOENT) {
        return ShortcutFailure{path, SystemReason(errno)};
    } else if (missing == WhenMissing::Leave) {
        return std::nullopt;
    } else if (auto failure = makeFolders(QFileInfo(target).absolutePath())) {
        return ShortcutFailure{path, *failure};
    }

    const EditedContent edited = edit(content);
    if (!edited.refusal.isEmpty()) {
        return ShortcutFailure{path, edited.refusal};
    }
    if (!edited.content) {
        return std::nullopt;
    }
    ReplacementRights rights;
    if (content) { // the replacement keeps what the old file had
        rights = {old.st_mode & 07777, old.st_uid, old.st_gid};
    }
    if (auto failure = ReplaceFile(target, *edited.content, rights)) {
        return ShortcutFailure{path, *failure};
    }
    return std::nullopt;
}

} // namespace tarvex
