// The share done and the time left of a running batch, and how both read: portable, with the
// clock passed in. The share is file steps handled of the files counted before the batch;
// the bar never runs backwards and never passes the total, even when the tree changed while
// the batch ran and the count turns out wrong. The time left is told once about two seconds
// of work have shown the speed, from a speed smoothed over half-second samples so that it
// does not jump, and only while the count still holds files to do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/texts.h"

namespace velmora {

class ProgressEstimate {
public:
    static constexpr std::uint64_t kSettleMs = 2000;  // no time left before this much work
    static constexpr std::uint64_t kSampleMs = 500;   // the speed is measured over such spans
    static constexpr double kSampleWeight = 0.25;     // of a new sample in the smoothed speed
    // The bar's positions are 32-bit: a larger total is scaled down to at most this.
    static constexpr std::uint64_t kMaxBarRange = 0x7FFFFFFF;

    explicit ProgressEstimate(std::uint64_t total) : m_total(total) {}

    // `done` file steps after `workMs` of work (time spent waiting for the user left out).
    void Update(std::uint64_t done, std::uint64_t workMs);

    std::uint64_t Total() const { return m_total; }
    // Files done as the bar shows them: never less than before, never more than the total.
    std::uint64_t Position() const { return m_position; }
    // Position and total as the bar takes them.
    int BarRange() const;
    int BarPosition() const;
    // The seconds left, rounded up; nothing while it cannot be told.
    std::optional<std::uint64_t> SecondsLeft() const;

private:
    std::uint64_t m_total;
    std::uint64_t m_position = 0;
    std::uint64_t m_done = 0;
    std::uint64_t m_workMs = 0;
    std::uint64_t m_sampleDone = 0;  // where the current sample began
    std::uint64_t m_sampleMs = 0;
    double m_perMs = -1;  // smoothed files per millisecond; negative before the first sample
};

// The time left as people read it: less than a minute, about N minutes (up to 90), about N
// hours; in the language of `texts`, in the form its number needs.
std::string TimeLeftText(std::uint64_t seconds, const TextCatalog& texts);

// How long something took, to the second: "0:07", "12:05", "1:02:03".
std::string DurationText(std::uint64_t ms);

}  // namespace velmora
