#pragma once

#include <QtGlobal>
#include <cstdint>

namespace tarvex {

// A colour number as the pages store it: red in the low byte, then green, then blue.
using ColourNumber = std::uint32_t;

[[nodiscard]] constexpr ColourNumber colourNumber(int red, int green, int blue) {
    return static_cast<ColourNumber>(red) | (static_cast<ColourNumber>(green) << 8) |
           (static_cast<ColourNumber>(blue) << 16);
}

inline constexpr ColourNumber kPageBlue = colourNumber(21, 59, 121);
inline constexpr ColourNumber kWhite = colourNumber(255, 255, 255);

// What every page of one wizard shares: the language of its texts and the colours it paints
// with, both assigned by the welcome page's load. The program owns exactly one; tests give each
// case a fresh one.
struct PageSettings {
    // Text set: 700 English, 500 Traditional Chinese.
    qint16 TextBase = 0;

    ColourNumber PageBackColor = 0;
    ColourNumber TextBackColor = 0;
    ColourNumber TextForeColor = 0;
    ColourNumber OptionBackColor = 0;
    ColourNumber LabelBackColor = 0;
    ColourNumber LabelForeColor = 0;
};

} // namespace tarvex
