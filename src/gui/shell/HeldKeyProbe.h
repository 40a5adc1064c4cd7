#pragma once

#include <optional>

// Whether F1 is held down at this moment, asked of the X server so that the answer holds even when the key went
// down or up while another program had the focus; nothing when the display cannot tell (offscreen, Wayland).
namespace HeldKeyProbe {

std::optional<bool> IsF1Down();

} // namespace HeldKeyProbe
