// Long names made to fit a window: shortened in the middle with an ellipsis, so that the
// start (the drive and the first folders) and the end (the name itself) still show.
// Portable: the caller measures.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Characters (code points) of UTF-8 `text`.
std::size_t CharCount(std::string_view text);

// `text` as it is when it has at most `keep` characters, else its first and last characters
// around "…", `keep` characters in all (at least the ellipsis and one on each side).
std::string ShortenMiddle(std::string_view text, std::size_t keep);

// `text` with each of its lines longer than `keep` characters shortened in the middle.
std::string ShortenLongLines(std::string_view text, std::size_t keep);

// The largest `keep` in [low, high] for which `fits(keep)` holds, for a `fits` that holds
// for every number below one that does; `low` when none does.
template <class Fits>
std::size_t LargestFitting(std::size_t low, std::size_t high, Fits&& fits) {
    if (high <= low) return low;
    if (fits(high)) return high;
    while (high - low > 1) {  // fits(high) is false; low is the answer of last resort
        const std::size_t mid = low + (high - low) / 2;
        (fits(mid) ? low : high) = mid;
    }
    return low;
}

}  // namespace velmora
