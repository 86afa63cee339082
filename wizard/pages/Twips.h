#pragma once

#include <QRect>

namespace tarvex {

// Window designs are measured in twips; 15 twips make one logical pixel at 96 dots per inch.
// Qt's high-DPI scaling takes the logical pixels to other densities.
inline constexpr double kTwipsPerPixel = 15.0;

[[nodiscard]] constexpr int twipsToPixels(int twips) {
    const double pixels = twips / kTwipsPerPixel;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

// A control's rectangle from its design: left, top, width and height in twips.
[[nodiscard]] constexpr QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace tarvex
