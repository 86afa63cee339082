#include "pages/LookSettings.h"

namespace tarvex {

void assignLookSettings(WizardGlobals& globals, qint16 textBase) {
    globals.PageBackColor = kPageBlue;
    globals.TextBackColor = kPageBlue;
    globals.TextForeColor = kWhite;
    globals.OptionBackColor = kPageBlue;
    globals.LabelBackColor = kPageBlue;
    globals.LabelForeColor = kWhite;
    globals.TextBase = textBase;
}

} // namespace tarvex
