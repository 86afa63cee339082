#pragma once

#include <QTranslator>
#include <memory>

namespace tarvex {

// The texts Qt itself draws (the OK and Cancel of message boxes, the command line's "Usage:")
// in the language of the text set: a translator for Traditional Chinese at text base 500, none
// for English, so that a German desktop sees exactly the English of before. Null too when the
// system's translation is not installed; the boxes then keep their English buttons.
[[nodiscard]] std::unique_ptr<QTranslator> loadSystemTexts(int textBase);

} // namespace tarvex
