#include "text/window_rect.h"

#include <algorithm>
#include <cstdint>

#include "text/settings.h"

namespace velmora {

using namespace settings_key;

std::optional<WindowRect> ReadWindowRect(IProfile& profile) {
    WindowRect rect;
    rect.left = profile.GetInt(kSection, kPosLeft, -1);
    rect.right = profile.GetInt(kSection, kPosRight, -1);
    rect.top = profile.GetInt(kSection, kPosTop, -1);
    rect.bottom = profile.GetInt(kSection, kPosBottom, -1);
    if (rect.left == -1 || rect.right == -1 || rect.top == -1 || rect.bottom == -1)
        return std::nullopt;
    return rect;
}

bool WriteWindowRect(IProfile& profile, const WindowRect& rect) {
    bool ok = profile.WriteInt(kSection, kPosLeft, rect.left);
    ok &= profile.WriteInt(kSection, kPosRight, rect.right);
    ok &= profile.WriteInt(kSection, kPosTop, rect.top);
    ok &= profile.WriteInt(kSection, kPosBottom, rect.bottom);
    return ok;
}

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
