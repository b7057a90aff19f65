#include "ui/batch_estimate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/plural.h"
#include "ui/text_fit.h"

namespace velmora {
namespace {

// A batch as the dialog sees it: files done after so many milliseconds of work, one look
// every 100 ms. Every look checks that the bar neither runs back nor passes the total.
struct Look {
    std::uint64_t ms;
    std::uint64_t done;
    std::uint64_t leastLeft, mostLeft;  // the seconds left told at this look; 0, 0: none
};
constexpr std::uint64_t kNone = 0, kLong = ~0ULL;

TEST(ProgressEstimate, ShareNeverRunsBackNorPassesTheTotalAndTheTimeLeftFollowsTheSpeed) {
    const struct {
        const char* batch;
        std::uint64_t total;
        std::uint64_t perSecondBefore, perSecondAfter;  // the speed changes at 4 s
        std::vector<Look> looks;
    } cases[] = {
        // 1,000 files a second: 10 s for 10,000 files; nothing said before 2 s of work.
        {"steady",
         10'000,
         1000,
         1000,
         {{1900, 1900, kNone, kNone}, {2000, 2000, 8, 8}, {6000, 6000, 4, 4}}},
        // Nothing done from 4 s on (a slow network folder): the bar holds, the time left
        // grows (6 s at the old speed), by steps rather than at once.
        {"stall",
         10'000,
         1000,
         0,
         {{3900, 3900, 7, 7}, {6000, 4000, 12, 30}, {12'000, 4000, 300, kLong}}},
        // Ten times faster from 4 s on (7.6 s left at 6 s, 5.6 s at 8 s): the estimate
        // comes down over a few samples instead of jumping.
        {"speed-up",
         100'000,
         1000,
         10'000,
         {{3900, 3900, 97, 97}, {6000, 24'000, 8, 20}, {8000, 44'000, 5, 8}}},
        // The tree grew while linking: 12,000 files of a count of 10,000.
        {"wrong total",
         10'000,
         1000,
         1000,
         {{9900, 9900, 1, 1}, {10'000, 10'000, kNone, kNone}, {12'000, 12'000, kNone, kNone}}},
    };
    for (const auto& c : cases) {
        ProgressEstimate estimate(c.total);
        std::uint64_t done = 0;
        std::uint64_t shown = 0;
        std::size_t next = 0;
        for (std::uint64_t ms = 100; next < c.looks.size(); ms += 100) {
            done += (ms <= 4000 ? c.perSecondBefore : c.perSecondAfter) / 10;
            estimate.Update(done, ms);
            ASSERT_GE(estimate.Position(), shown) << c.batch << " at " << ms;
            ASSERT_LE(estimate.Position(), c.total) << c.batch << " at " << ms;
            ASSERT_LE(estimate.BarPosition(), estimate.BarRange()) << c.batch;
            shown = estimate.Position();
            if (ms != c.looks[next].ms) continue;
            EXPECT_EQ(done, c.looks[next].done) << c.batch << " at " << ms;
            const std::optional<std::uint64_t> left = estimate.SecondsLeft();
            if (c.looks[next].mostLeft == kNone) {
                EXPECT_FALSE(left) << c.batch << " at " << ms << ": " << *left;
            } else {
                ASSERT_TRUE(left) << c.batch << " at " << ms;
                EXPECT_GE(*left, c.looks[next].leastLeft) << c.batch << " at " << ms;
                EXPECT_LE(*left, c.looks[next].mostLeft) << c.batch << " at " << ms;
            }
            ++next;
        }
        EXPECT_EQ(estimate.BarRange(), static_cast<int>(c.total)) << c.batch;
    }
    // A counter handed in smaller than before, and a clock going back, change nothing shown.
    ProgressEstimate estimate(100);
    estimate.Update(50, 3000);
    estimate.Update(20, 1000);
    EXPECT_EQ(estimate.Position(), 50u);
    // Beyond 32 bits the bar's range is scaled and its position with it.
    ProgressEstimate huge(1ULL << 40);
    huge.Update(1ULL << 39, 1000);
    EXPECT_LE(huge.BarRange(), 0x7FFFFFFF);
    EXPECT_EQ(huge.BarPosition(), huge.BarRange() / 2);
}

TEST(TimeLeftText, RoundedAsPeopleReadItInTheFormItsNumberNeeds) {
    const TextCatalog russian;
    const TextCatalog english(
        {{txt::kTimeLeftUnderMinute, "Less than a minute left"},
         {txt::kTimeLeftMinutes, "About %d minute left|About %d minutes left"},
         {txt::kTimeLeftHours, "About %d hour left|About %d hours left"}});
    const TextCatalog broken({{txt::kTimeLeftMinutes, "%s minutes"}});  // falls back per form
    const struct {
        std::uint64_t seconds;
        const TextCatalog& texts;
        const char* text;
    } cases[] = {
        {0, russian, "Осталось меньше минуты"},
        {59, russian, "Осталось меньше минуты"},
        {60, russian, "Осталась примерно 1 минута"},
        {150, russian, "Осталось примерно 3 минуты"},
        {300, russian, "Осталось примерно 5 минут"},
        {21 * 60, russian, "Осталась примерно 21 минута"},
        {22 * 60, russian, "Осталось примерно 22 минуты"},
        {11 * 60, russian, "Осталось примерно 11 минут"},
        {12 * 60, russian, "Осталось примерно 12 минут"},
        {89 * 60, russian, "Осталось примерно 89 минут"},
        {90 * 60, russian, "Осталось примерно 2 часа"},
        {5 * 3600, russian, "Осталось примерно 5 часов"},
        {21 * 3600, russian, "Остался примерно 21 час"},
        {30, english, "Less than a minute left"},
        {61, english, "About 1 minute left"},
        {125, english, "About 2 minutes left"},
        {3 * 3600, english, "About 3 hours left"},
        {300, broken, "Осталось примерно 5 минут"},
    };
    for (const auto& c : cases) EXPECT_EQ(TimeLeftText(c.seconds, c.texts), c.text) << c.seconds;
    // One form serves every number; a text with fewer forms than the rule uses its last.
    EXPECT_EQ(PluralForm("files: %d", 3), "files: %d");
    EXPECT_EQ(PluralFormIndex(3, 111), 2u);
    EXPECT_EQ(PluralFormIndex(3, 101), 0u);
    EXPECT_EQ(PluralFormIndex(2, 0), 1u);
}

TEST(DurationText, MinutesAndSecondsThenHours) {
    const struct {
        std::uint64_t ms;
        const char* text;
    } cases[] = {{0, "0:00"},
                 {499, "0:00"},
                 {7'400, "0:07"},
                 {65'000, "1:05"},
                 {3'599'000, "59:59"},
                 {3'723'000, "1:02:03"},
                 {100 * 3'600'000ULL, "100:00:00"}};
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.ms), c.text) << c.ms;
}

TEST(ShortenMiddle, KeepsStartAndNameAroundAnEllipsisWithoutSplittingCharacters) {
    const struct {
        std::string text;
        std::size_t keep;
        std::string shown;
    } cases[] = {
        {"C:\\a\\b.txt", 10, "C:\\a\\b.txt"},
        {"C:\\folder\\name.txt", 9, "C:\\f….txt"},
        {"C:\\Папка\\файл.txt", 10, "C:\\П…л.txt"},
        {"abcdef", 1, "a…f"},
        {"line one is long\nok\nanother long one", 7, "lin…ong\nok\nano…one"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortenLongLines(c.text, c.keep), c.shown) << c.text;
        if (c.text.find('\n') == std::string::npos && c.keep >= 3) {
            EXPECT_EQ(CharCount(ShortenMiddle(c.text, c.keep)),
                      std::min(c.keep, CharCount(c.text)));
        }
    }
    // The largest length that fits, found with few measurements; the lowest when none fits.
    int measured = 0;
    const auto under = [&measured](std::size_t limit) {
        return [&measured, limit](std::size_t keep) { return ++measured, keep <= limit; };
    };
    EXPECT_EQ(LargestFitting(12, 8000, under(1234)), 1234u);
    EXPECT_LE(measured, 14);
    EXPECT_EQ(LargestFitting(12, 8000, under(9000)), 8000u);
    EXPECT_EQ(LargestFitting(12, 8000, under(3)), 12u);
    EXPECT_EQ(LargestFitting(12, 5, under(3)), 12u);
}

}  // namespace
}  // namespace velmora
