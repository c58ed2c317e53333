#pragma once

#include <array>
#include <optional>

namespace zorvan {

// The Caps Lock, Num Lock and Scroll Lock indicators of the X11 keyboard (XKB named
// indicators), in that order; none where the program does not run on X11 or was built without
// it.
std::optional<std::array<bool, 3>> ReadX11LockKeys();

}  // namespace zorvan
