#pragma once

#include <QStringList>

namespace dravik {

// The two languages the programs speak and draw their pictures in.
enum class Language { English, TraditionalChinese };

// The first of the user's languages that is Chinese in the Traditional script (zh_TW, zh_HK,
// zh_MO, zh-Hant) or English decides; English when none of them is either. A language the
// programs have no set for (German, Simplified Chinese) is passed over.
[[nodiscard]] Language LanguageFor(const QStringList& uiLanguages);

// The same for the user's languages as Qt reads them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
[[nodiscard]] Language UserLanguage();

} // namespace dravik
