#pragma once

#include "modules/ShortcutWriter.h"

#include <QByteArray>
#include <QStringList>
#include <chrono>
#include <functional>

namespace tarvex {

// Starts a helper program and returns at once; what it comes to is not reported.
using ProgramRunner = std::function<void(const QString& program, const QStringList& arguments)>;

// How long a helper may run before its process group is ended.
inline constexpr std::chrono::milliseconds kHelperTimeLimit{2000};

// The keys of one link entry, as plain text.
struct DesktopLink {
    QString name;
    QString url;
    QString comment;
    QString icon;
};

// A value escaped for a desktop entry: backslash, newline, tab and carriage return as \\ \n \t
// \r, a space at either end as \s (readers trim them otherwise), and every other control
// character, which the format cannot hold, as U+FFFD. The result is one line.
[[nodiscard]] QString DesktopEntryValue(const QString& value);

// The whole file of a link entry, UTF-8.
[[nodiscard]] QByteArray DesktopEntryText(const DesktopLink& link);

// prefix + host name + ".desktop", made safe as one file name: "/", NUL, other control
// characters, unpaired surrogates and a leading "." become "_", and the name is cut at a
// character boundary so that it and its temporary sibling fit in nameLimit bytes.
[[nodiscard]] QString ShortcutFileName(const QString& prefix, const QString& hostName,
                                       int nameLimit);

// The longest file name, in bytes, that the folder's file system allows.
[[nodiscard]] int FileNameLimit(const QString& folder);

// Writes the two shortcuts as freedesktop link entries into the desktop folder.
//
// A link entry has counterparts for the name, target, icon and description of a shortcut, but
// none for its window style or hot key, and a link has no working folder: those three are not
// written. The files are made executable and, where gio runs, marked trusted, because several
// desktops refuse or question an entry that is neither; a failure to mark them is ignored.
class DesktopShortcutWriter final : public ShortcutWriter {
public:
    // desktopFolder: empty for the user's XDG desktop directory. runner: empty for helpers run
    // in the background within kHelperTimeLimit (BackgroundPrograms), ended with the writer.
    explicit DesktopShortcutWriter(QString desktopFolder = {}, ProgramRunner runner = {});

    [[nodiscard]] std::optional<ShortcutFailure> CreateShortcuts(const QString& address,
                                                                 const QString& hostName) override;

private:
    [[nodiscard]] std::optional<ShortcutFailure>
    writeLink(const QString& folder, const QString& prefix, const QString& hostName,
              const QString& url, const QString& comment, const QString& icon);

    QString desktopFolder_;
    ProgramRunner runner_;
};

} // namespace tarvex
