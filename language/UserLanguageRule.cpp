#include "UserLanguageRule.h"

#include <QLocale>

namespace dravik {

Language LanguageFor(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        // QLocale fills in the likely script: zh_TW and zh_HK are Traditional, zh and zh_CN not.
        const QLocale language(name);
        if (language.language() == QLocale::English) {
            return Language::English;
        }
        if (language.language() == QLocale::Chinese &&
            language.script() == QLocale::TraditionalChineseScript) {
            return Language::TraditionalChinese;
        }
    }
    return Language::English;
}

Language UserLanguage() {
    return LanguageFor(QLocale::system().uiLanguages());
}

} // namespace dravik
