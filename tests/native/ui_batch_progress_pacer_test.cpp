#include "ui/batch_progress_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora {
namespace {

// A clock the test moves by hand, counting how often it is read.
struct ManualClock {
    std::uint64_t now = 1000;
    int reads = 0;
    std::uint64_t operator()() {
        ++reads;
        return now;
    }
};

// Calls Due once per simulated link; returns how many of `calls` calls were due.
int DueCount(ProgressPacer& pacer, ManualClock& clock, int calls) {
    int due = 0;
    for (int i = 0; i < calls; ++i) due += pacer.Due([&] { return clock(); }) ? 1 : 0;
    return due;
}

TEST(ProgressPacer, ShortBatchNeverShowsAndReadsTheClockRarely) {
    ManualClock clock;
    ProgressPacer pacer(clock.now);
    clock.now += ProgressPacer::kQuietMs - 1;
    EXPECT_EQ(DueCount(pacer, clock, 800), 0);
    EXPECT_FALSE(pacer.Busy());
    EXPECT_EQ(clock.reads, 800 / static_cast<int>(ProgressPacer::kCallsPerClockRead));
}

TEST(ProgressPacer, ShowsAfterTheQuietTimeThenRefreshesAtItsPace) {
    ManualClock clock;
    ProgressPacer pacer(clock.now);
    clock.now += ProgressPacer::kQuietMs;
    const int n = static_cast<int>(ProgressPacer::kCallsPerClockRead);
    // The switch comes at the first clock read past the quiet time, not before it.
    EXPECT_EQ(DueCount(pacer, clock, n - 1), 0);
    EXPECT_EQ(DueCount(pacer, clock, 1), 1);
    EXPECT_TRUE(pacer.Busy());
    // No refresh until the refresh time has passed since the last one, however many links.
    clock.now += ProgressPacer::kRefreshMs - 1;
    EXPECT_EQ(DueCount(pacer, clock, 50 * n), 0);
    clock.now += 1;
    EXPECT_EQ(DueCount(pacer, clock, 50 * n), 1);
    // A long pause (a prompt answered slowly) gives one refresh, not a burst.
    clock.now += 10'000;
    EXPECT_EQ(DueCount(pacer, clock, 50 * n), 1);
    EXPECT_TRUE(pacer.Busy());
}

TEST(ProgressPacer, ClockGoingBackwardsNeitherShowsEarlyNorStallsRefreshes) {
    ManualClock clock;
    ProgressPacer pacer(clock.now);
    clock.now -= 500;
    const int n = static_cast<int>(ProgressPacer::kCallsPerClockRead);
    EXPECT_EQ(DueCount(pacer, clock, 10 * n), 0);
    EXPECT_FALSE(pacer.Busy());
    clock.now += 500 + ProgressPacer::kQuietMs;
    EXPECT_EQ(DueCount(pacer, clock, n), 1);
    // Once shown, a step back refreshes at once rather than waiting for the clock to catch up.
    clock.now -= 100;
    EXPECT_EQ(DueCount(pacer, clock, n), 1);
}

}  // namespace
}  // namespace velmora
