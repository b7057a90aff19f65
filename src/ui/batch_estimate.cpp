#include "ui/batch_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/plural.h"

namespace velmora {

void ProgressEstimate::Update(std::uint64_t done, std::uint64_t workMs) {
    done = std::max(done, m_done);  // a counter never runs back; guard against a caller's slip
    m_done = done;
    m_position = std::max(m_position, std::min(done, m_total));
    if (workMs < m_workMs) return;  // a clock going back counts as no time passed
    m_workMs = workMs;
    if (workMs - m_sampleMs < kSampleMs) return;
    const double perMs =
        static_cast<double>(done - m_sampleDone) / static_cast<double>(workMs - m_sampleMs);
    m_perMs = m_perMs < 0 ? perMs : m_perMs + kSampleWeight * (perMs - m_perMs);
    m_sampleDone = done;
    m_sampleMs = workMs;
}

int ProgressEstimate::BarRange() const {
    const std::uint64_t scale = m_total / (kMaxBarRange + 1) + 1;
    return static_cast<int>(m_total / scale);
}

int ProgressEstimate::BarPosition() const {
    const std::uint64_t scale = m_total / (kMaxBarRange + 1) + 1;
    return static_cast<int>(m_position / scale);
}

std::optional<std::uint64_t> ProgressEstimate::SecondsLeft() const {
    if (m_workMs < kSettleMs || m_perMs <= 0 || m_done >= m_total) return std::nullopt;
    const double ms = static_cast<double>(m_total - m_done) / m_perMs;
    // A speed that has fallen to almost nothing tells no time worth reading.
    if (!(ms < 1e12)) return std::nullopt;
    return static_cast<std::uint64_t>(std::ceil(ms / 1000));
}

std::string TimeLeftText(std::uint64_t seconds, const TextCatalog& texts) {
    if (seconds < 60) return texts.Text(txt::kTimeLeftUnderMinute);
    const std::uint64_t minutes = (seconds + 30) / 60;
    if (minutes < 90) return PluralText(texts, txt::kTimeLeftMinutes, minutes);
    return PluralText(texts, txt::kTimeLeftHours, (seconds + 1800) / 3600);
}

std::string DurationText(std::uint64_t ms) {
    const std::uint64_t seconds = (ms + 500) / 1000;
    char text[48];
    if (seconds < 3600) {
        std::snprintf(text, sizeof text, "%llu:%02llu",
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    }
    return text;
}

}  // namespace velmora
