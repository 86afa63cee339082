#pragma once

#include "UserLanguageRule.h"

#include <QIcon>
#include <QImage>
#include <QSize>

namespace tarvex {

// The wizard's pictures: the three steps that explain, and the three marks of a step's status.
enum class StepPicture { Welcome, Power, Cable, UnderWay, Done, Failed };

// The picture, 24 bits per pixel, drawn from its vector source for a screen of the given device
// pixel ratio: its logical size is always the bitmap's own size, and at ratio 2 it holds twice
// the pixels each way (devicePixelRatio 2). At ratio 1 it is exactly the bitmap. The words in
// the pictures of Steps 0 to 2 are drawn in the language given. Each picture is drawn once per
// ratio and language, when first asked for.
[[nodiscard]] QImage CatalogPicture(StepPicture picture, qreal devicePixelRatio = 1.0,
                                    dravik::Language language = dravik::Language::English);

// The size the picture's bitmap has.
[[nodiscard]] QSize pictureSize(StepPicture picture);

// The program icon, 32 x 32 and 16 x 16, with 64 x 64 for screens of ratio 2.
[[nodiscard]] QIcon programIcon();

} // namespace tarvex
