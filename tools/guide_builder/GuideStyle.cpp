#include "GuideStyle.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace guides {
namespace {

double headingPointSize(int level) {
    switch (level) {
    case 1:
        return 20.0;
    case 2:
        return 14.0;
    default:
        return 11.5;
    }
}

// Commands and file names in a fixed face a little smaller than the body, as usual in print.
void styleCode(QTextDocument& document, const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        QTextCharFormat format = fragment.charFormat();
        if (!format.fontFixedPitch() &&
            !format.fontFamilies().toStringList().contains(QStringLiteral("monospace"))) {
            continue;
        }
        format.setFontFamilies({QStringLiteral("Liberation Mono"),
                                QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
        format.setFontFixedPitch(true);
        format.setFontPointSize(9.5);
        QTextCursor run(&document);
        run.setPosition(fragment.position());
        run.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        run.setCharFormat(format);
    }
}

} // namespace

void loadGuide(QTextDocument& document, const QString& markdown) {
    QFont body(QStringLiteral("Liberation Sans"));
    body.setStyleHint(QFont::SansSerif);
    body.setPointSizeF(10.5);
    document.setDefaultFont(body);
    document.setDocumentMargin(0);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        cursor.setPosition(block.position());
        QTextBlockFormat paragraph = block.blockFormat();
        const int level = paragraph.headingLevel();
        if (level > 0) {
            // The importer sizes headings by a size adjustment, which would override any point
            // size; each run gets a format of its own without it.
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                QTextCharFormat heading = fragment.charFormat();
                heading.clearProperty(QTextFormat::FontSizeAdjustment);
                heading.setForeground(kProductBlue);
                heading.setFontWeight(QFont::Bold);
                heading.setFontPointSize(headingPointSize(level));
                QTextCursor run(&document);
                run.setPosition(fragment.position());
                run.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
                run.setCharFormat(heading);
            }
            paragraph.setTopMargin(level == 1 ? 0 : 14);
            paragraph.setBottomMargin(6);
            paragraph.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        } else if (paragraph.hasProperty(QTextFormat::BlockCodeFence)) {
            paragraph.setLeftMargin(14);
            paragraph.setTopMargin(2);
            paragraph.setBottomMargin(8);
            paragraph.setBackground(QColor(236, 240, 247));
        } else if (block.textList() == nullptr) {
            paragraph.setBottomMargin(6);
        } else {
            paragraph.setBottomMargin(3);
        }
        cursor.setBlockFormat(paragraph);
        styleCode(document, block);
    }
}

} // namespace guides
