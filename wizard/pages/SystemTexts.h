#pragma once

#include <QTranslator>
#include <memory>

namespace tarvex {

// The texts Qt itself draws (the OK and Cancel of message boxes) in the language of the
// edition: a translator for Traditional Chinese at text base 500, none for English. Null too
// when the system's translation is not installed; the boxes then keep their English buttons.
[[nodiscard]] std::unique_ptr<QTranslator> loadSystemTexts(int textBase);

} // namespace tarvex
