// The main dialog's window rectangle as the settings keep it (PosLeft, PosTop, PosRight,
// PosBottom: the outer rectangle in screen coordinates, right and bottom exclusive), and
// whether the window can be put back there.
#pragma once

#include <optional>
#include <vector>

#include "platform/profile.h"

namespace velmora {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The stored rectangle; nothing when any of the four values is absent or -1.
std::optional<WindowRect> ReadWindowRect(IProfile& profile);

// Writes PosLeft, PosRight, PosTop and PosBottom, in that order; false when a write failed.
bool WriteWindowRect(IProfile& profile, const WindowRect& rect);

// True when a window restored to `stored` stays within the user's reach: its width and
// height are at least the dialog's own (`ownWidth`, `ownHeight`), so that no control is cut
// off, and its title bar (the top `titleBarHeight` pixels, by which it is moved) lies wholly
// on one of the monitors' `workAreas`. A rectangle whose size does not even fit an int
// (0x80000000 to 0x7FFFFFFF) is out of reach too.
bool IsReachable(const WindowRect& stored, int ownWidth, int ownHeight, int titleBarHeight,
                 const std::vector<WindowRect>& workAreas);

}  // namespace velmora
