// When a running link batch shows itself: not at all during its first quarter second (a short
// batch changes nothing on screen), then a refresh of the dialog at most every few dozen
// milliseconds. Reads its clock only every few calls, so that the batch's per-link cost stays
// a counter increment. Portable: the clock is passed in.
#pragma once

#include <cstdint>

namespace velmora {

class ProgressPacer {
public:
    static constexpr std::uint32_t kCallsPerClockRead = 8;
    static constexpr std::uint64_t kQuietMs = 250;
    static constexpr std::uint64_t kRefreshMs = 60;

    explicit ProgressPacer(std::uint64_t startMs) : m_start(startMs) {}

    // Called once per progress report. True when the dialog is due a refresh; the first true
    // means the batch has just become long enough to show itself (Busy() is true from then on).
    template <class Clock>
    bool Due(Clock&& clock) {
        if (++m_calls < kCallsPerClockRead) return false;
        m_calls = 0;
        const std::uint64_t now = clock();
        if (!m_busy) {
            // A clock going backwards (it never should) counts as no time passed.
            if (now < m_start || now - m_start < kQuietMs) return false;
            m_busy = true;
        } else if (now >= m_last && now - m_last < kRefreshMs) {
            return false;
        }
        m_last = now;
        return true;
    }

    bool Busy() const { return m_busy; }

private:
    std::uint64_t m_start;
    std::uint64_t m_last = 0;
    std::uint32_t m_calls = 0;
    bool m_busy = false;
};

}  // namespace velmora
