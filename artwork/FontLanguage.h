#pragma once

#include "UserLanguageRule.h"

namespace dravik {

// Has the fonts chosen by the language of the programs' words instead of the locale's: the
// system's font configuration orders its faces by the locale's language (Chinese beside English
// settings is drawn otherwise than under zh_TW, and a Hong Kong setting may put the Hong Kong
// Ming face first), so that the same picture would come out differently in each locale.
// Traditional Chinese is drawn as under zh_TW, English as under en. The environment is left as
// it was, for the programs started from here. Call before the application object exists.
void orderFontsFor(Language language);

} // namespace dravik
