#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

namespace tarvex {

// Bitmap number (101 to 106) drawn at its exact pixel size, 24 bits per pixel; a null image
// for any other number.
[[nodiscard]] QImage CatalogPicture(int number);

// The size the bitmap of that number has; an empty size for an unknown number.
[[nodiscard]] QSize pictureSize(int number);

// The program icon, 32 x 32 and 16 x 16.
[[nodiscard]] QIcon programIcon();

} // namespace tarvex
