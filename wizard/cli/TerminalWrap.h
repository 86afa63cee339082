#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tarvex {

// The widest line for a terminal of 80 columns: a line as wide as the terminal leaves some
// terminals' cursor at the margin, and the next line after an empty one.
inline constexpr int kTerminalLineWidth = 79;

// The columns a text takes at a terminal: two for an East Asian wide or fullwidth character
// (Han, kana, Hangul, fullwidth punctuation), none for a combining mark, a format character or
// a control, one for any other.
[[nodiscard]] int DisplayWidth(QStringView text);

// The text in lines of at most `columns` display columns, each paragraph ("\n") on its own.
// Lines break where Unicode allows (at spaces, between Han characters, never before a closing
// mark such as "，"), but never between a number and the word after it ("3 the wizard is open");
// a word wider than a line stands alone on one.
[[nodiscard]] QStringList WrapToWidth(const QString& text, int columns);

} // namespace tarvex
