#include "RtfExport.h"

#include "GuideStyle.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace guides {
namespace {

// Half-points, as RTF measures font sizes.
int headingHalfPoints(int level) {
    switch (level) {
    case 1:
        return 40;
    case 2:
        return 28;
    default:
        return 23;
    }
}

constexpr int kBodyHalfPoints = 21;
constexpr int kIndentTwips = 360;

bool isFixedPitch(const QTextCharFormat& format) {
    return format.fontFixedPitch() ||
           format.fontFamilies().toStringList().contains(QStringLiteral("monospace"));
}

QByteArray fragmentRtf(const QTextFragment& fragment) {
    const QTextCharFormat format = fragment.charFormat();
    QByteArray controls;
    if (format.fontWeight() >= QFont::DemiBold) {
        controls += "\\b";
    }
    if (format.fontItalic()) {
        controls += "\\i";
    }
    if (isFixedPitch(format)) {
        controls += "\\f1";
    }
    const QByteArray text = rtfEscaped(fragment.text());
    QByteArray run = controls.isEmpty() ? text : "{" + controls + " " + text + "}";
    if (format.isAnchor() && !format.anchorHref().isEmpty()) {
        run = "{\\field{\\*\\fldinst HYPERLINK \"" + rtfEscaped(format.anchorHref()) +
              "\"}{\\fldrslt \\ul\\cf1 " + run + "}}";
    }
    return run;
}

QByteArray listMarker(const QTextBlock& block, const QTextList& list) {
    switch (list.format().style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return "\\u8226?";
    default:
        return rtfEscaped(list.itemText(block));
    }
}

QByteArray blockRtf(const QTextBlock& block) {
    QByteArray out = "\\pard\\plain\\f0\\fs" + QByteArray::number(kBodyHalfPoints);
    const QTextBlockFormat format = block.blockFormat();
    const int level = format.headingLevel();
    QByteArray marker;
    if (level > 0) {
        out += "\\sb" + QByteArray::number(level == 1 ? 0 : 280) + "\\sa120\\keepn\\b\\cf1\\fs" +
               QByteArray::number(headingHalfPoints(level));
    } else if (const QTextList* list = block.textList()) {
        const int indent = kIndentTwips * list->format().indent();
        out += "\\li" + QByteArray::number(indent) + "\\fi-" + QByteArray::number(kIndentTwips) +
               "\\tx" + QByteArray::number(indent) + "\\sa60";
        marker = listMarker(block, *list) + "\\tab ";
    } else if (format.hasProperty(QTextFormat::BlockCodeFence) ||
               isFixedPitch(block.charFormat())) {
        out += "\\li" + QByteArray::number(kIndentTwips) + "\\sa120\\f1\\fs19";
    } else {
        out += "\\sa120";
    }
    out += " " + marker;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid()) {
            out += fragmentRtf(fragment);
        }
    }
    out += "\\par\n";
    return out;
}

} // namespace

QByteArray rtfEscaped(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == u'\n' || unit == QChar::LineSeparator) {
            out += "\\line ";
        } else if (unit == QChar::Nbsp) {
            out += "\\~";
        } else if (unit >= 0x20 && unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x20) {
            // Other control characters have no place in a guide.
        } else {
            // Surrogate halves too: readers join the two \u units again.
            out += "\\u" + QByteArray::number(static_cast<qint16>(unit)) + '?';
        }
    }
    return out;
}

QByteArray toRtf(const QTextDocument& document, const QString& title) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\fmodern\\fcharset0 Courier New;}}\n";
    out += "{\\colortbl;\\red" + QByteArray::number(kProductBlue.red()) + "\\green" +
           QByteArray::number(kProductBlue.green()) + "\\blue" +
           QByteArray::number(kProductBlue.blue()) + ";}\n";
    out += "{\\info{\\title " + rtfEscaped(title) + "}}\n";
    // A4 with margins of about 2.2 cm.
    out += "\\paperw11906\\paperh16838\\margl1247\\margr1247\\margt1247\\margb1247\n";
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += blockRtf(block);
    }
    out += "}\n";
    return out;
}

} // namespace guides
