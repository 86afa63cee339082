#pragma once

#include "UserLanguageRule.h"

#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

namespace dravik {

// The source of a picture that has words: `<folder>/<name>.svg` in English, the one of the same
// name in `<folder>/zh_TW/` in Traditional Chinese.
[[nodiscard]] QString wordedPictureSource(const QString& folder, const QString& name,
                                          Language language);

// The picture, 24 bits per pixel on white, drawn for a screen of the given device pixel ratio:
// its logical size is `size`, and at ratio 2 it holds twice the pixels each way. Each source,
// size and ratio is drawn once per run, when first asked for.
[[nodiscard]] QImage drawPicture(const QString& source, QSize size, qreal devicePixelRatio);

// A square picture of the given side on a transparent ground (icons, cursors).
[[nodiscard]] QImage drawTransparent(const QString& source, int side);

// A program icon: 32 x 32 and 16 x 16, with 64 x 64 for screens of ratio 2.
[[nodiscard]] QIcon programIconFrom(const QString& source);

} // namespace dravik
