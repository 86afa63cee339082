#pragma once

#include "appliance/HiddenCharacters.h"
#include "desktop/FileManagerPlaces.h"
#include "desktop/ShortcutWriter.h"

#include <QByteArray>
#include <QStringList>
#include <chrono>
#include <functional>

namespace tarvex {

// Starts a helper program and returns at once; what it comes to is not reported.
using ProgramRunner = std::function<void(const QString& program, const QStringList& arguments)>;

// How long a helper may run before its process group is ended.
inline constexpr std::chrono::milliseconds kHelperTimeLimit{2000};

// What one shortcut shows and opens, as plain text.
struct DesktopLink {
    QString name;
    QString url; // opened with xdg-open
    QString comment;
    QString icon;
};

// A value escaped for a desktop entry: backslash, newline, tab and carriage return as \\ \n \t
// \r, a space at either end as \s (readers trim them otherwise), and every other character of
// IsHiddenOrBreaking as U+FFFD. The result is one line.
[[nodiscard]] QString DesktopEntryValue(const QString& value);

// One argument of an Exec line: quoted in double quotes when it holds a character the format
// reserves, with " ` $ and \ escaped inside, and "%" doubled so that it is no field code. The
// whole line is then escaped as a value.
[[nodiscard]] QString DesktopExecArgument(const QString& argument);

// The whole file of an application entry whose command is xdg-open and the URL, UTF-8. GLib's
// loader (gio launch, GNOME's desktop icons) reads only application entries, and KDE, Xfce,
// MATE and Cinnamon read them too.
[[nodiscard]] QByteArray DesktopEntryText(const DesktopLink& link);

// prefix + host name + ".desktop", made safe as one file name: "/", the characters of
// IsHiddenOrBreaking and a leading "." become "_", and the name is cut at a character boundary
// so that it and its temporary sibling fit in nameLimit bytes.
[[nodiscard]] QString ShortcutFileName(const QString& prefix, const QString& hostName,
                                       int nameLimit);

// The longest file name, in bytes, that the folder's file system allows.
[[nodiscard]] int FileNameLimit(const QString& folder);

// Writes the two shortcuts as freedesktop application entries into the desktop folder.
//
// An entry has counterparts for the name, target, icon and description of a shortcut, but none
// for its window style or hot key, and a working folder means nothing to xdg-open: those three
// are not written. The files are made executable and, where gio runs, marked trusted
// (metadata::trusted for GNOME and MATE, metadata::xfce-exe-checksum, the SHA-256 of the file,
// for Xfce), because several desktops refuse or question an entry that is neither; a failure to
// mark them is ignored.
//
// Then, whatever the shortcuts came to, the shared folders are added to the file managers'
// places (AddSharedFolders), where desktops without icons on the desktop show them. A list that
// cannot be changed is logged and left as it was: the shortcuts' outcome is what is reported.
class DesktopShortcutWriter final : public ShortcutWriter {
public:
    // desktopFolder: empty for the user's XDG desktop directory. runner: empty for helpers run
    // in the background within kHelperTimeLimit (BackgroundPrograms), ended with the writer.
    // places: the lists of places to add to; none unless given.
    explicit DesktopShortcutWriter(QString desktopFolder = {}, ProgramRunner runner = {},
                                   PlacesFiles places = {});

    [[nodiscard]] std::optional<ShortcutFailure> CreateShortcuts(Ipv4Address address,
                                                                 const QString& hostName) override;

private:
    [[nodiscard]] std::optional<ShortcutFailure> writeShortcuts(Ipv4Address address,
                                                                const QString& hostName);
    [[nodiscard]] std::optional<ShortcutFailure>
    writeLink(const QString& folder, const QString& prefix, const QString& hostName,
              const QString& url, const QString& comment, const QString& icon);

    QString desktopFolder_;
    ProgramRunner runner_;
    PlacesFiles places_;
};

} // namespace tarvex
