#pragma once

#include "UserLanguageRule.h"

#include <QStringList>

namespace tarvex {

// The set of the user's interface language by the rule both programs share (dravik::LanguageFor):
// the Traditional Chinese base (500) or the English base (700).
[[nodiscard]] int TextBaseForLanguages(const QStringList& uiLanguages);

// The same for the user's languages as Qt reads them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
[[nodiscard]] int UserTextBase();

// The language of a text base, for what is drawn rather than taken from the catalog: Traditional
// Chinese for 500, English otherwise.
[[nodiscard]] dravik::Language TextLanguage(int textBase);

} // namespace tarvex
