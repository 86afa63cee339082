#include "texts/UserLanguage.h"

#include "texts/TextCatalog.h"

#include <QLocale>

namespace tarvex {

int TextBaseForLanguages(const QStringList& uiLanguages) {
    return dravik::LanguageFor(uiLanguages) == dravik::Language::TraditionalChinese
               ? kChineseTextBase
               : kEnglishTextBase;
}

int UserTextBase() {
    return TextBaseForLanguages(QLocale::system().uiLanguages());
}

dravik::Language TextLanguage(int textBase) {
    return textBase == kChineseTextBase ? dravik::Language::TraditionalChinese
                                        : dravik::Language::English;
}

} // namespace tarvex
