#pragma once

namespace tarvex {

// The window designs name Windows fonts. Maps each to an installed face of the same kind, so
// that a widget asks for the design's family and gets a clean rendering in both editions.
// Call once, after the application object exists.
void registerFontSubstitutes();

} // namespace tarvex
