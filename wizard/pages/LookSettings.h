#pragma once

#include "run/WizardGlobals.h"

namespace tarvex {

// The welcome page's first load step: the six colour settings every page paints itself with,
// and the text base that chooses the language of every later text.
void assignLookSettings(WizardGlobals& globals, qint16 textBase);

} // namespace tarvex
