#pragma once

#include <QStringList>

namespace tarvex {

// The set of the user's interface language: the Traditional Chinese base (500) for the first of
// the user's languages that is Chinese in the Traditional script (zh_TW, zh_HK, zh_MO, zh-Hant),
// the English base (700) for the first that is English, and English when none of them is either.
// A language the catalog has no set for (German, Simplified Chinese) is passed over.
[[nodiscard]] int TextBaseForLanguages(const QStringList& uiLanguages);

// The same for the user's languages as Qt reads them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
[[nodiscard]] int UserTextBase();

} // namespace tarvex
