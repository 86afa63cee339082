#include "FontLanguage.h"

#include <QByteArray>
#include <QtGlobal>
#include <fontconfig/fontconfig.h>

namespace dravik {

void orderFontsFor(Language language) {
    const bool userSet = qEnvironmentVariableIsSet("FC_LANG");
    const QByteArray userValue = qgetenv("FC_LANG");
    // Fontconfig reads its languages once, the setting before the locale's, and keeps them.
    qputenv("FC_LANG", language == Language::TraditionalChinese ? "zh-tw" : "en");
    FcStrSetDestroy(FcGetDefaultLangs());
    if (userSet) {
        qputenv("FC_LANG", userValue);
    } else {
        qunsetenv("FC_LANG");
    }
}

} // namespace dravik
