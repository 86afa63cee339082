#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

namespace tarvex {

// Bitmap number (101 to 106), 24 bits per pixel, drawn from its vector source for a screen of
// the given device pixel ratio: its logical size is always the bitmap's own size, and at ratio 2
// it holds twice the pixels each way (devicePixelRatio 2). At ratio 1 it is exactly the bitmap.
// Each number is drawn once per ratio, when first asked for. A null image for any other number.
[[nodiscard]] QImage CatalogPicture(int number, qreal devicePixelRatio = 1.0);

// The size the bitmap of that number has; an empty size for an unknown number.
[[nodiscard]] QSize pictureSize(int number);

// The program icon, 32 x 32 and 16 x 16, with 64 x 64 for screens of ratio 2.
[[nodiscard]] QIcon programIcon();

} // namespace tarvex
