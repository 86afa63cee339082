#pragma once

namespace tarvex {

// Whether a character must not stand in a name or a value as it is: controls, format characters
// (the direction overrides among them, which make "a\u202Eexe.knil" show as "alink.exe"), line
// and paragraph separators, and unpaired surrogates.
[[nodiscard]] bool IsHiddenOrBreaking(char32_t code);

} // namespace tarvex
