#include "desktop/PlacesLists.h"

#include "net/Ipv4Address.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <utility>

namespace tarvex {

namespace {

QUrl comparable(const QUrl& url) {
    QUrl adjusted = url.adjusted(QUrl::StripTrailingSlash);
    if (adjusted.path() == QLatin1String("/")) {
        adjusted.setPath({});
    }
    return adjusted;
}

// What reading an XBEL document found.
struct XbelReading {
    QString error; // empty for a well-formed document whose root is "xbel"
    bool hasPlace = false;
    bool declaresBookmarkPrefix = false;
    QString lastHref;  // of the root's last child when it is a bookmark
    QString lastTitle; // its title
    // Address and title of each of the root's bookmarks, in order.
    QList<std::pair<QString, QString>> places;
};

XbelReading readXbel(const QByteArray& text, const QString& url) {
    XbelReading reading;
    QXmlStreamReader reader(text);
    int depth = 0;
    bool lastIsBookmark = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringView name = reader.qualifiedName();
        if (depth == 0) {
            if (name != QLatin1String("xbel")) {
                reading.error = QStringLiteral("not an XBEL document");
                return reading;
            }
            for (const QXmlStreamNamespaceDeclaration& declaration :
                 reader.namespaceDeclarations()) {
                reading.declaresBookmarkPrefix |= declaration.prefix() == QLatin1String("bookmark");
            }
        }
        if (name == QLatin1String("bookmark")) {
            const QString href = reader.attributes().value(QLatin1String("href")).toString();
            reading.hasPlace |= SamePlace(href, url);
            if (depth == 1) {
                reading.lastHref = href;
                reading.lastTitle.clear();
                reading.places.append({href, {}});
            }
        }
        if (depth == 1) {
            lastIsBookmark = name == QLatin1String("bookmark");
        }
        if (depth == 2 && lastIsBookmark && name == QLatin1String("title")) {
            reading.lastTitle = reader.readElementText(); // consumes its end tag
            reading.places.last().second = reading.lastTitle;
            continue;
        }
        ++depth;
    }
    if (reader.hasError()) {
        reading.error = reader.errorString();
    } else if (!lastIsBookmark) {
        reading.lastHref.clear();
    }
    return reading;
}

// The document with the root's bookmark at `index`, one of this program's, moved to `url`: its
// address is replaced where it stands, when it is written there exactly once, and the result
// must read back with only that address changed.
EditedContent movedXbelPlace(const QByteArray& old, const XbelReading& before, qsizetype index,
                             const QString& url) {
    const QByteArray from = '"' + before.places[index].first.toUtf8() + '"';
    const qsizetype at = old.indexOf(from);
    if (at < 0 || old.indexOf(from, at + 1) >= 0) {
        return {std::nullopt, QStringLiteral("the place to move is not written once as added")};
    }
    QByteArray text = old;
    text.replace(at, from.size(), '"' + url.toHtmlEscaped().toUtf8() + '"');
    const XbelReading after = readXbel(text, url);
    auto expected = before.places;
    expected[index].first = url;
    if (!after.error.isEmpty() || after.places != expected) {
        return {std::nullopt, QStringLiteral("the place does not read back as moved")};
    }
    return {text, {}};
}

// Each line with its own end, so that a line dropped takes its end with it and the others keep
// theirs byte for byte; the last may have none.
QList<QByteArray> LinesWithEnds(const QByteArray& text) {
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = text.indexOf('\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, next - start));
        start = next;
    }
    return lines;
}

} // namespace

bool IsApplianceShare(const QByteArray& uri) {
    static const QByteArray kScheme = "smb://";
    if (!uri.toLower().startsWith(kScheme)) {
        return false;
    }
    QByteArrayView host = QByteArrayView(uri).sliced(kScheme.size());
    if (host.endsWith('/')) {
        host.chop(1);
    }
    return Ipv4Address::parse(host).has_value();
}

bool SamePlace(const QString& listed, const QString& url) {
    const QUrl place = QUrl::fromEncoded(listed.toUtf8(), QUrl::StrictMode);
    return place.isValid() && comparable(place) == comparable(QUrl(url));
}

EditedContent GtkBookmarksWith(const std::optional<QByteArray>& old, const QString& url,
                               const QString& label) {
    const QByteArray text = old.value_or(QByteArray());
    const QByteArray ourLine = QUrl(url).toEncoded() + ' ' + label.toUtf8();
    const QList<QByteArray> lines = LinesWithEnds(text);
    QList<qsizetype> ours;      // the wizard's lines for this appliance
    qsizetype oursHere = -1;    // the first of them that names the place already
    bool listedByOther = false; // a line of the user's names the place
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\n')) {
            line.chop(1);
        }
        if (line.endsWith('\r')) { // a line ended the Windows way, by an editor
            line.chop(1);
        }
        const qsizetype space = line.indexOf(' ');
        const QByteArray uri = space < 0 ? line : line.left(space);
        const bool here = SamePlace(QString::fromUtf8(uri), url);
        if (space >= 0 && line.mid(space + 1) == label.toUtf8() && IsApplianceShare(uri)) {
            ours.append(i);
            if (here && oursHere < 0) {
                oursHere = i;
            }
        } else {
            listedByOther |= here;
        }
    }
    if (ours.isEmpty()) {
        if (listedByOther) {
            return {};
        }
        QByteArray added = text;
        if (!added.isEmpty() && !added.endsWith('\n')) {
            added += '\n';
        }
        return {added + ourLine + '\n', {}};
    }
    // The appliance's bookmark moves with it: one line stays, at its place, and the others
    // would only lead to addresses it left. A place the user listed already needs none of ours.
    const qsizetype kept = oursHere >= 0 ? oursHere : (listedByOther ? -1 : ours.first());
    if (oursHere >= 0 && ours.size() == 1) {
        return {};
    }
    QByteArray edited;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!ours.contains(i) || i == oursHere) {
            edited += lines[i];
        } else if (i == kept) {
            const QByteArray& line = lines[i];
            edited += ourLine + (line.endsWith("\r\n") ? "\r\n" : line.endsWith('\n') ? "\n" : "");
        }
    }
    return {edited, {}};
}

EditedContent XbelWith(const std::optional<QByteArray>& old, const QString& url,
                       const QString& label) {
    if (!old) {
        return {};
    }
    const XbelReading before = readXbel(*old, url);
    if (!before.error.isEmpty()) {
        return {std::nullopt, before.error};
    }
    if (before.hasPlace) {
        return {};
    }
    for (qsizetype i = 0; i < before.places.size(); ++i) {
        const auto& [href, title] = before.places[i];
        if (title == label && IsApplianceShare(href.toUtf8())) {
            return movedXbelPlace(*old, before, i, url);
        }
    }
    const qsizetype end = old->lastIndexOf("</xbel");
    if (end < 0) {
        return {std::nullopt, QStringLiteral("no end tag to add before")};
    }
    const QByteArray href = url.toHtmlEscaped().toUtf8();
    QByteArray bookmark = " <bookmark href=\"" + href + "\">\n  <title>" +
                          label.toHtmlEscaped().toUtf8() + "</title>\n";
    if (before.declaresBookmarkPrefix) {
        bookmark += "  <info>\n   <metadata owner=\"http://freedesktop.org\">\n"
                    "    <bookmark:icon name=\"folder-remote\"/>\n   </metadata>\n  </info>\n";
    }
    bookmark += " </bookmark>\n";
    if (end > 0 && old->at(end - 1) != '\n') {
        bookmark.prepend('\n');
    }
    QByteArray text = *old;
    text.insert(end, bookmark);
    // The end tag found may have stood in a comment after the root, or the file may declare an
    // encoding other than UTF-8: only what reads back as the root's last bookmark is written.
    const XbelReading after = readXbel(text, url);
    if (!after.error.isEmpty() || after.lastHref != url || after.lastTitle != label) {
        return {std::nullopt, QStringLiteral("the place does not read back as added")};
    }
    return {text, {}};
}

} // namespace tarvex
