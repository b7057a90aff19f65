#include "ui/window_rect.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

bool IsReachable(const WindowRect& stored, int ownWidth, int ownHeight, int titleBarHeight,
                 const std::vector<WindowRect>& workAreas) {
    // In 64 bits: the stored edges are any 32-bit values, and their differences may not fit.
    const std::int64_t width = std::int64_t{stored.right} - stored.left;
    const std::int64_t height = std::int64_t{stored.bottom} - stored.top;
    if (width > INT32_MAX || height > INT32_MAX) return false;
    if (width < ownWidth || height < ownHeight) return false;
    const std::int64_t titleBottom = std::int64_t{stored.top} + std::max(titleBarHeight, 1);
    return std::any_of(workAreas.begin(), workAreas.end(), [&](const WindowRect& area) {
        return stored.left >= area.left && stored.right <= area.right && stored.top >= area.top &&
               titleBottom <= area.bottom;
    });
}

}  // namespace velmora
