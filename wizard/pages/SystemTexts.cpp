#include "pages/SystemTexts.h"

#include "texts/TextCatalog.h"

#include <QLibraryInfo>

namespace tarvex {

std::unique_ptr<QTranslator> loadSystemTexts(int textBase) {
    if (textBase != kChineseTextBase) {
        return nullptr;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_zh_TW"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    return translator;
}

} // namespace tarvex
