// Whether the main dialog's window can be put back where the settings keep it.
#pragma once

#include <vector>

#include "text/settings.h"

namespace velmora {

// True when a window restored to `stored` stays within the user's reach: its width and
// height are at least the dialog's own (`ownWidth`, `ownHeight`), so that no control is cut
// off, and its title bar (the top `titleBarHeight` pixels, by which it is moved) lies wholly
// on one of the monitors' `workAreas`. A rectangle whose size does not even fit an int
// (0x80000000 to 0x7FFFFFFF) is out of reach too.
bool IsReachable(const WindowRect& stored, int ownWidth, int ownHeight, int titleBarHeight,
                 const std::vector<WindowRect>& workAreas);

}  // namespace velmora
