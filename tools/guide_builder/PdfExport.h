#pragma once

#include <QString>

class QTextDocument;

namespace guides {

// Prints the document as an A4 PDF: a blue band with the product name and the guide's title at
// the top of every page, the page number at the foot. An empty text on success, otherwise what
// went wrong.
[[nodiscard]] QString writePdf(QTextDocument& document, const QString& title, const QString& path);

} // namespace guides
