#pragma once

#include <QColor>
#include <QString>

class QTextDocument;

namespace guides {

// The product's dark blue, as on the wizard's pages.
inline const QColor kProductBlue{21, 59, 121};

// Reads a guide written in Markdown and gives it the guides' look: a sans serif body, headings
// in the product blue, room between paragraphs. The document keeps the text's structure
// (headings, lists, emphasis), which both writers walk.
void loadGuide(QTextDocument& document, const QString& markdown);

} // namespace guides
