#include "desktop/DesktopShortcutWriter.h"

#include "appliance/ApplianceUrl.h"
#include "appliance/HiddenCharacters.h"
#include "base/Logging.h"
#include "desktop/WholeFileRewrite.h"
#include "process/BoundedProcess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace tarvex {

namespace {

constexpr int kDefaultNameLimit = 255;
const QString kSuffix = QStringLiteral(".desktop");
// The temporary sibling is "." + name + ".XXXXXX": hidden while it is being written.
constexpr int kTemporaryExtra = 8;

const QChar kReplacement(0xfffd);

} // namespace

QString DesktopEntryValue(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\')) {
            escaped += QStringLiteral("\\\\");
        } else if (c == QLatin1Char('\n')) {
            escaped += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\t')) {
            escaped += QStringLiteral("\\t");
        } else if (c == QLatin1Char('\r')) {
            escaped += QStringLiteral("\\r");
        } else if (c == QLatin1Char(' ') && (i == 0 || i == value.size() - 1)) {
            escaped += QStringLiteral("\\s");
        } else if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            // A pair is one character, which may itself be a format character.
            if (IsHiddenOrBreaking(QChar::surrogateToUcs4(c, value[i + 1]))) {
                escaped += kReplacement;
            } else {
                escaped += c;
                escaped += value[i + 1];
            }
            ++i;
        } else if (IsHiddenOrBreaking(c.unicode())) {
            escaped += kReplacement;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString DesktopExecArgument(const QString& argument) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    static const QString kEscapedInQuotes = QStringLiteral("\"`$\\");
    const bool quoted =
        argument.isEmpty() || std::any_of(argument.begin(), argument.end(),
                                          [](QChar c) { return kReserved.contains(c); });
    QString result;
    for (const QChar c : argument) {
        if (quoted && kEscapedInQuotes.contains(c)) {
            result += QLatin1Char('\\');
        }
        result += c;
        if (c == QLatin1Char('%')) {
            result += QLatin1Char('%');
        }
    }
    return quoted ? QLatin1Char('"') + result + QLatin1Char('"') : result;
}

QByteArray DesktopEntryText(const DesktopLink& link) {
    const auto line = [](const char* key, const QString& value) {
        return QByteArray(key) + '=' + DesktopEntryValue(value).toUtf8() + '\n';
    };
    return QByteArray("[Desktop Entry]\nVersion=1.0\nType=Application\n") +
           line("Name", link.name) + line("Comment", link.comment) +
           line("Exec", QStringLiteral("xdg-open ") + DesktopExecArgument(link.url)) +
           line("Icon", link.icon);
}

QString ShortcutFileName(const QString& prefix, const QString& hostName, int nameLimit) {
    const QString whole = prefix + hostName;
    const qsizetype budget = nameLimit - kSuffix.size() - kTemporaryExtra;
    QString name;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const QChar c = whole[i];
        QString piece(c);
        if (c.isHighSurrogate() && i + 1 < whole.size() && whole[i + 1].isLowSurrogate()) {
            piece += whole[++i];
            if (IsHiddenOrBreaking(QChar::surrogateToUcs4(c, piece[1]))) {
                piece = QStringLiteral("_");
            }
        } else if (IsHiddenOrBreaking(c.unicode()) || c == QLatin1Char('/') ||
                   (name.isEmpty() && c == QLatin1Char('.'))) {
            piece = QStringLiteral("_");
        }
        const qsizetype width = piece.toUtf8().size();
        if (bytes + width > budget) {
            break;
        }
        name += piece;
        bytes += width;
    }
    return name + kSuffix;
}

int FileNameLimit(const QString& folder) {
    const long limit = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<int>(std::min(limit, 65536L)) : kDefaultNameLimit;
}

DesktopShortcutWriter::DesktopShortcutWriter(QString desktopFolder, ProgramRunner runner,
                                             PlacesFiles places)
    : desktopFolder_(std::move(desktopFolder)), runner_(std::move(runner)),
      places_(std::move(places)) {
    if (!runner_) {
        // Off the window's thread's way: the window keeps turning while gio talks to its daemon.
        runner_ = [programs = std::make_shared<BackgroundPrograms>(kHelperTimeLimit)](
                      const QString& program, const QStringList& arguments) {
            programs->run(program, arguments);
        };
    }
}

std::optional<ShortcutFailure> DesktopShortcutWriter::CreateShortcuts(Ipv4Address address,
                                                                      const QString& hostName) {
    std::optional<ShortcutFailure> failure = writeShortcuts(address, hostName);
    for (const ShortcutFailure& left : AddSharedFolders(places_, address, hostName)) {
        qCWarning(lcRun) << "shared folders not added to" << left.file << ":" << left.reason;
    }
    return failure;
}

std::optional<ShortcutFailure> DesktopShortcutWriter::writeShortcuts(Ipv4Address address,
                                                                     const QString& hostName) {
    // The XDG desktop directory (user-dirs.dirs), which may not exist yet.
    const QString chosen = desktopFolder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                               : desktopFolder_;
    if (chosen.isEmpty()) {
        return ShortcutFailure{chosen, SystemReason(ENOENT)};
    }
    const QString folder = QDir(chosen).absolutePath();
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) {
        return ShortcutFailure{folder, QString::fromLocal8Bit(error.message())};
    }
    if (!QFileInfo(folder).isDir()) {
        return ShortcutFailure{folder, SystemReason(ENOTDIR)};
    }

    const QString printed = address.text();
    if (auto failure =
            writeLink(folder, QStringLiteral("Setup My Dravik - "), hostName,
                      ApplianceUrl(QStringLiteral("http"), address),
                      QStringLiteral("IP=") + printed + QStringLiteral(" , Manage your Dravik"),
                      QStringLiteral("web-browser"))) {
        return failure;
    }
    return writeLink(folder, QStringLiteral("Access My Dravik - "), hostName,
                     ApplianceUrl(QStringLiteral("smb"), address),
                     QStringLiteral("IP=") + printed + QStringLiteral(" , Access your Dravik"),
                     QStringLiteral("folder-remote"));
}

std::optional<ShortcutFailure>
DesktopShortcutWriter::writeLink(const QString& folder, const QString& prefix,
                                 const QString& hostName, const QString& url,
                                 const QString& comment, const QString& icon) {
    const QString fileName = ShortcutFileName(prefix, hostName, FileNameLimit(folder));
    const QString path = QDir(folder).filePath(fileName);
    const QByteArray text =
        DesktopEntryText({fileName.chopped(kSuffix.size()), url, comment, icon});

    // Written beside the target and renamed over it: an existing file is replaced whole, and a
    // reader never sees half a file. File managers launch only executable entries from the
    // desktop.
    if (auto failure = ReplaceFile(path, text, {mode_t{0755}, {}, {}})) {
        return ShortcutFailure{path, *failure};
    }

    // GNOME and MATE ask before, or refuse, launching an entry that is not marked trusted.
    (void)runner_(
        QStringLiteral("gio"),
        {QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    // Xfce trusts an entry only while this checksum matches its content.
    (void)runner_(
        QStringLiteral("gio"),
        {QStringLiteral("set"), QStringLiteral("-t"), QStringLiteral("string"), path,
         QStringLiteral("metadata::xfce-exe-checksum"),
         QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex())});
    return std::nullopt;
}

} // namespace tarvex
