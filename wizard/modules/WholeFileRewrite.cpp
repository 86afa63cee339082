#include "modules/WholeFileRewrite.h"

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

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::generic_category().message(error));
}

// Creates the folder and every missing one above it, each private to the user.
std::optional<QString> makeFolders(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) {
        return std::nullopt;
    }
    if (info.exists() || info.isSymLink()) {
        return systemReason(ENOTDIR);
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath()) {
        if (auto failure = makeFolders(parent)) {
            return failure;
        }
    }
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        return systemReason(errno);
    }
    return std::nullopt;
}

} // namespace

std::optional<ShortcutFailure> RewriteWholeFile(const QString& path, WhenMissing missing,
                                                const ContentEdit& edit) {
    const QFileInfo given(path);
    // The file itself, where the link leads; a link that leads nowhere is not followed into
    // creating a file somewhere else.
    const QString target = given.isSymLink() ? given.canonicalFilePath() : given.absoluteFilePath();
    if (target.isEmpty()) {
        return ShortcutFailure{path, systemReason(ENOENT)};
    }
    const QByteArray encoded = QFile::encodeName(target);
    struct stat old {};
    std::optional<QByteArray> content;
    if (::stat(encoded.constData(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            return ShortcutFailure{path, systemReason(S_ISDIR(old.st_mode) ? EISDIR : EINVAL)};
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
        return ShortcutFailure{path, systemReason(errno)};
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
    const QFileInfo targetInfo(target);
    QTemporaryFile temporary(targetInfo.dir().filePath(QLatin1Char('.') + targetInfo.fileName() +
                                                       QStringLiteral(".XXXXXX")));
    if (!temporary.open()) {
        return ShortcutFailure{path, temporary.errorString()};
    }
    if (temporary.write(*edited.content) != edited.content->size() || !temporary.flush()) {
        return ShortcutFailure{path, temporary.errorString()};
    }
    if (content) {
        if (fchmod(temporary.handle(), old.st_mode & 07777) != 0) {
            return ShortcutFailure{path, systemReason(errno)};
        }
        // Only root may give the file back to its owner; anyone else is its owner already.
        (void)fchown(temporary.handle(), old.st_uid, old.st_gid);
    }
    if (fsync(temporary.handle()) != 0) {
        return ShortcutFailure{path, systemReason(errno)};
    }
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), encoded.constData()) !=
        0) {
        return ShortcutFailure{path, systemReason(errno)};
    }
    temporary.setAutoRemove(false);
    return std::nullopt;
}

} // namespace tarvex
