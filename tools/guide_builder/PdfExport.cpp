#include "PdfExport.h"

#include "GuideStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace guides {
namespace {

// Lays the whole document out again. After an edit the layout only redoes the text near it and
// leaves the rest for idle time, which a program without an event loop never has; a new page
// size lays everything out at once.
void relayout(QTextDocument& document, QSizeF pageSize) {
    document.setPageSize(QSizeF(pageSize.width(), pageSize.height() + 1));
    document.setPageSize(pageSize);
}

// Moves a heading that would end a page, away from the first lines of its text, to the top of
// the next page. Each move changes the layout below it, so the document is walked again.
void keepHeadingsWithText(QTextDocument& document, QSizeF pageSize) {
    const double pageHeight = pageSize.height();
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (int pass = 0; pass < 200; ++pass) {
        bool moved = false;
        for (QTextBlock block = document.begin(); block.isValid() && !moved; block = block.next()) {
            const QTextBlock next = block.next();
            if (block.blockFormat().headingLevel() == 0 || !next.isValid() ||
                block.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore) {
                continue;
            }
            const QRectF heading = layout->blockBoundingRect(block);
            const QRectF text = layout->blockBoundingRect(next);
            const QTextLayout* textLayout = next.layout();
            const double twoLines =
                textLayout != nullptr && textLayout->lineCount() > 0
                    ? std::min(text.height(), 2 * textLayout->lineAt(0).height())
                    : 0.0;
            const int headingPage = static_cast<int>(heading.top() / pageHeight);
            if (heading.top() > 0 &&
                static_cast<int>((text.top() + twoLines) / pageHeight) > headingPage) {
                QTextBlockFormat format;
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).mergeBlockFormat(format);
                relayout(document, pageSize);
                moved = true;
            }
        }
        if (!moved) {
            return;
        }
    }
}

} // namespace

QString writePdf(QTextDocument& document, const QString& title, const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Dravik setup CD guide builder"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        return QStringLiteral("cannot write %1").arg(path);
    }
    const double dotsPerMm = writer.resolution() / 25.4;
    const auto mm = [dotsPerMm](double millimetres) {
        return millimetres * dotsPerMm;
    };
    const QRectF page(0, 0, writer.width(), writer.height());
    const QRectF body(mm(22), mm(28), page.width() - mm(44), page.height() - mm(28) - mm(24));

    // Lay the text out with the printer's metrics, one body height per page.
    document.documentLayout()->setPaintDevice(&writer);
    document.setPageSize(body.size());
    keepHeadingsWithText(document, body.size());
    const int pageCount = document.pageCount();

    QFont bandFont(QStringLiteral("Liberation Sans"));
    bandFont.setPointSizeF(9);
    for (int index = 0; index < pageCount; ++index) {
        if (index > 0) {
            writer.newPage();
        }
        const QRectF band(0, 0, page.width(), mm(14));
        painter.fillRect(band, kProductBlue);
        painter.setFont(bandFont);
        painter.setPen(Qt::white);
        const QRectF bandText(body.left(), 0, body.width(), band.height());
        bandFont.setBold(true);
        painter.setFont(bandFont);
        painter.drawText(bandText, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Dravik"));
        bandFont.setBold(false);
        painter.setFont(bandFont);
        painter.drawText(bandText, Qt::AlignRight | Qt::AlignVCenter, title);

        painter.setPen(kProductBlue);
        const double footTop = page.height() - mm(16);
        painter.drawLine(QPointF(body.left(), footTop), QPointF(body.right(), footTop));
        painter.drawText(QRectF(body.left(), footTop, body.width(), mm(8)),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(index + 1).arg(pageCount));

        painter.save();
        painter.translate(body.left(), body.top() - index * body.height());
        const QRectF visible(0, index * body.height(), body.width(), body.height());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end()) {
        return QStringLiteral("cannot finish %1").arg(path);
    }
    return {};
}

} // namespace guides
