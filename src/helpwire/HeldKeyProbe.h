#pragma once

#include <QSet>

#include <optional>

// Which keys are held down at this moment, asked of the X server so that the answer holds even when a key went
// down or up while another program had the focus; nothing when the display cannot tell (offscreen, Wayland). The
// window asks it about F1 held while a command is chosen; the help viewer's pop-up about the keys held when it
// opened, whose repeats are no new presses.
namespace HeldKeyProbe {

std::optional<bool> IsF1Down();
// The X key codes held down (as QKeyEvent::nativeScanCode gives them); empty when the display cannot tell.
QSet<quint32> HeldKeyCodes();

} // namespace HeldKeyProbe
