#pragma once

#include "pages/PageSettings.h"

namespace tarvex {

// The welcome page's first load step: the six colour settings every page paints itself with,
// and the text base that chooses the language of every later text.
void assignLookSettings(PageSettings& settings, qint16 textBase);

} // namespace tarvex
