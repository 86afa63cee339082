#include "cli/TerminalWrap.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <utility>

namespace tarvex {

namespace {

// Unicode's East Asian Width "W" and "F" blocks, in order.
constexpr std::array<std::pair<char32_t, char32_t>, 19> kWide{{
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
}};

int CharacterWidth(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Other_Control:
        return 0;
    default:
        break;
    }
    const auto wide = std::ranges::find_if(
        kWide, [c](const auto& block) { return block.first <= c && c <= block.second; });
    return wide != kWide.end() ? 2 : 1;
}

// A break before `at` that would part a number from the word after it, a space between or not.
bool PartsANumber(QStringView text, qsizetype at) {
    qsizetype before = at;
    while (before > 0 && text[before - 1].isSpace()) {
        --before;
    }
    return before > 0 && text[before - 1].isDigit();
}

QString LeftOfSpaces(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        --end;
    }
    return text.first(end).toString();
}

void WrapParagraph(const QString& paragraph, int columns, QStringList& lines) {
    QList<qsizetype> breaks;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, paragraph);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        if (at == paragraph.size() || !PartsANumber(paragraph, at)) {
            breaks.append(at);
        }
    }
    const QStringView text(paragraph);
    const auto width = [&](qsizetype from, qsizetype to) {
        return DisplayWidth(LeftOfSpaces(text.sliced(from, to - from)));
    };
    qsizetype start = 0;
    qsizetype fit = 0; // the furthest break that ends a line begun at `start` within the width
    for (const qsizetype at : breaks) {
        if (width(start, at) <= columns) {
            fit = at;
            continue;
        }
        if (fit > start) {
            lines.append(LeftOfSpaces(text.sliced(start, fit - start)));
            start = fit;
        }
        if (width(start, at) > columns) {
            lines.append(LeftOfSpaces(text.sliced(start, at - start)));
            start = at;
        }
        fit = at;
    }
    if (fit > start || lines.isEmpty()) {
        lines.append(LeftOfSpaces(text.sliced(start, fit - start)));
    }
}

} // namespace

int DisplayWidth(QStringView text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        width += CharacterWidth(c);
    }
    return width;
}

QStringList WrapToWidth(const QString& text, int columns) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QStringList wrapped;
        WrapParagraph(paragraph, columns, wrapped);
        lines += wrapped;
    }
    return lines;
}

} // namespace tarvex
