#include "desktop/FileManagerPlaces.h"

#include "appliance/ApplianceUrl.h"
#include "desktop/DesktopShortcutWriter.h"
#include "desktop/PlacesLists.h"
#include "desktop/WholeFileRewrite.h"

#include <QDir>
#include <QStandardPaths>

namespace tarvex {

PlacesFiles PlacesFiles::ForUser() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {config.isEmpty() ? QString()
                             : QDir(config).filePath(QStringLiteral("gtk-3.0/bookmarks")),
            data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("user-places.xbel"))};
}

QString PlaceLabel(const QString& hostName) {
    static const qsizetype suffix = QStringLiteral(".desktop").size();
    const QString name = ShortcutFileName(QStringLiteral("Dravik - "), hostName, 255);
    // XML holds no U+FFFE or U+FFFF, so KDE's places would refuse the label; the other
    // non-characters go the same way, so that both lists show one label.
    QString label;
    for (const uint c : QStringView(name).chopped(suffix).toUcs4()) {
        if (QChar::isNonCharacter(c)) {
            label += QLatin1Char('_');
        } else {
            label += QChar::fromUcs4(c);
        }
    }
    return label;
}

QList<ShortcutFailure> AddSharedFolders(const PlacesFiles& files, Ipv4Address address,
                                        const QString& hostName) {
    const QString url = ApplianceUrl(QStringLiteral("smb"), address);
    const QString label = PlaceLabel(hostName);
    QList<ShortcutFailure> failures;
    if (!files.gtkBookmarks.isEmpty()) {
        if (auto failure =
                RewriteWholeFile(files.gtkBookmarks, WhenMissing::Create, [&](const auto& old) {
                    return GtkBookmarksWith(old, url, label);
                })) {
            failures.append(*failure);
        }
    }
    if (!files.kdePlaces.isEmpty()) {
        if (auto failure =
                RewriteWholeFile(files.kdePlaces, WhenMissing::Leave,
                                 [&](const auto& old) { return XbelWith(old, url, label); })) {
            failures.append(*failure);
        }
    }
    return failures;
}

} // namespace tarvex
