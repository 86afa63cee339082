#include "desktop/PlacesLists.h"

#include <QUrl>
#include <QXmlStreamReader>

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
            }
        }
        if (depth == 1) {
            lastIsBookmark = name == QLatin1String("bookmark");
        }
        if (depth == 2 && lastIsBookmark && name == QLatin1String("title")) {
            reading.lastTitle = reader.readElementText(); // consumes its end tag
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

} // namespace

bool SamePlace(const QString& listed, const QString& url) {
    const QUrl place = QUrl::fromEncoded(listed.toUtf8(), QUrl::StrictMode);
    return place.isValid() && comparable(place) == comparable(QUrl(url));
}

EditedContent GtkBookmarksWith(const std::optional<QByteArray>& old, const QString& url,
                               const QString& label) {
    QByteArray text = old.value_or(QByteArray());
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r')) { // a line ended the Windows way, by an editor
            line.chop(1);
        }
        const qsizetype space = line.indexOf(' ');
        if (SamePlace(QString::fromUtf8(space < 0 ? line : line.left(space)), url)) {
            return {};
        }
    }
    if (!text.isEmpty() && !text.endsWith('\n')) {
        text += '\n';
    }
    return {text + QUrl(url).toEncoded() + ' ' + label.toUtf8() + '\n', {}};
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
