#pragma once

#include <optional>

// The X keyboard's indicator lamps, read through XKB on the display Qt uses. Kept apart from other code because
// the X headers define macros that clash with Qt names.
namespace KeyboardIndicatorState {

// Whether the indicator of that XKB name ("Caps Lock", "Num Lock", "Scroll Lock") is lit; nothing when the
// program does not run on X or the keyboard has no such indicator.
std::optional<bool> Read(const char *xkbName);

} // namespace KeyboardIndicatorState
