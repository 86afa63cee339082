#pragma once

#include "desktop/WholeFileRewrite.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarvex {

// Whether a place's address, as a list holds it, names the same place as `url`: equal as URLs
// but for the case of scheme and host and a trailing "/".
[[nodiscard]] bool SamePlace(const QString& listed, const QString& url);

// Whether a listed address has the form of the places this program adds: smb:// and a dotted
// quad, nothing else but a trailing "/".
[[nodiscard]] bool IsApplianceShare(const QByteArray& uri);

// GTK's bookmarks (read by GNOME Files, Nemo, Caja and Thunar) with the place added: one
// "URI label" line at the end, the URI percent-encoded. A line of this program's for the same
// appliance (the same label, an IsApplianceShare address) is moved to the place instead, where
// it stands, and any further such line dropped: the appliance has left those addresses. Every
// other byte stays as it was; a file without a final newline gets one before a new line. Nothing
// when a line names the place already, also one ended by "\r\n". The label must be one line.
[[nodiscard]] EditedContent GtkBookmarksWith(const std::optional<QByteArray>& old,
                                             const QString& url, const QString& label);

// KDE's places (an XBEL document) with the place added as the root's last bookmark, with its
// title and the remote-folder icon. The text is inserted before the root's end tag and every
// other byte stays as it was; the result is read back and must be well formed with the new
// bookmark last, or the file is refused. Refused too when the file is no well-formed XBEL;
// nothing when a bookmark at any depth names the place already. A bookmark of the root's of this
// program's for the same appliance (as in GtkBookmarksWith) gets the new address where it stands
// instead, when the old one is written there once and the file reads back changed in that alone.
[[nodiscard]] EditedContent XbelWith(const std::optional<QByteArray>& old, const QString& url,
                                     const QString& label);

} // namespace tarvex
