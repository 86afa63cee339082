#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace guides {

// The document as Rich Text, which word processors open under a ".doc" name: headings in the
// product blue, paragraphs, bullet and numbered lists, bold, italic, code in a fixed font and
// links. Everything outside ASCII is written as \uN? so the file is plain 7-bit text.
[[nodiscard]] QByteArray toRtf(const QTextDocument& document, const QString& title);

// Text escaped for RTF: backslash and braces escaped, tabs and line breaks as control words,
// every character outside ASCII as a signed 16-bit \uN with "?" for readers that cannot show it.
[[nodiscard]] QByteArray rtfEscaped(const QString& text);

} // namespace guides
