#include "texts/UserLanguage.h"

#include "texts/TextCatalog.h"

#include <QLocale>

namespace tarvex {

int TextBaseForLanguages(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        // QLocale fills in the likely script: zh_TW and zh_HK are Traditional, zh and zh_CN not.
        const QLocale language(name);
        if (language.language() == QLocale::English) {
            return kEnglishTextBase;
        }
        if (language.language() == QLocale::Chinese &&
            language.script() == QLocale::TraditionalChineseScript) {
            return kChineseTextBase;
        }
    }
    return kEnglishTextBase;
}

int UserTextBase() {
    return TextBaseForLanguages(QLocale::system().uiLanguages());
}

} // namespace tarvex
