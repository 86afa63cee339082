#include "pages/LookSettings.h"

namespace tarvex {

void assignLookSettings(PageSettings& settings, qint16 textBase) {
    settings.PageBackColor = kPageBlue;
    settings.TextBackColor = kPageBlue;
    settings.TextForeColor = kWhite;
    settings.OptionBackColor = kPageBlue;
    settings.LabelBackColor = kPageBlue;
    settings.LabelForeColor = kWhite;
    settings.TextBase = textBase;
}

} // namespace tarvex
