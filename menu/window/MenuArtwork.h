#pragma once

#include "UserLanguageRule.h"

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QSize>

namespace quirra {

// The fingertip of the pointing hand, in pixels from the cursor picture's top-left corner.
inline constexpr QPoint kCursorHotSpot{12, 1};
inline constexpr int kCursorSide = 32;

// The size of menu picture 100 to 106; an empty size for any other number.
[[nodiscard]] QSize menuPictureSize(int number);

// The label that menu picture 101 to 106 shows, in the language given; what a screen reader
// calls the entry. Empty for the background and for other numbers.
[[nodiscard]] QString menuPictureLabel(int number, dravik::Language language);

// Menu picture 100 to 106, 24 bits per pixel, drawn from its vector source for a screen of the
// given device pixel ratio: its logical size is the picture's exact size, and at ratio 2 it holds
// twice the pixels each way (devicePixelRatio 2), its words in the language given. Null for other
// numbers.
[[nodiscard]] QImage menuPicture(int number, qreal devicePixelRatio = 1.0,
                                 dravik::Language language = dravik::Language::English);

// The pointing hand shown over the clickable pictures.
[[nodiscard]] QCursor menuCursor();

// The menu program's icon, 32 x 32 and 16 x 16, with 64 x 64 for screens of ratio 2.
[[nodiscard]] QIcon menuIcon();

} // namespace quirra
