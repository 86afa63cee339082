#pragma once

#include "desktop/ShortcutWriter.h"
#include "net/Ipv4Address.h"

#include <QList>
#include <QString>

namespace tarvex {

// The file managers' lists of places that an appliance's shared folders are added to.
struct PlacesFiles {
    QString gtkBookmarks; // GTK's bookmarks, created when missing; empty: none
    QString kdePlaces;    // KDE's places, added to only where the file exists; empty: none

    // The user's: $XDG_CONFIG_HOME/gtk-3.0/bookmarks and $XDG_DATA_HOME/user-places.xbel.
    [[nodiscard]] static PlacesFiles ForUser();
};

// "Dravik - " + host name, made safe as the shortcuts' file names are: one line, no "/", no
// hidden or reversing character; no Unicode non-character either (those become "_").
[[nodiscard]] QString PlaceLabel(const QString& hostName);

// Adds the appliance's shared folders (smb:// and the address printed back), labelled with
// PlaceLabel, to each list that does not hold them yet. A list that cannot be read, understood
// or written stays as it was; the failures are returned, the lists' order kept.
[[nodiscard]] QList<ShortcutFailure> AddSharedFolders(const PlacesFiles& files, Ipv4Address address,
                                                      const QString& hostName);

} // namespace tarvex
