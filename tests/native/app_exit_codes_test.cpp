#include "app/exit_codes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(BatchExitCode, OnePerOutcome) {
    const struct {
        BatchOutcome outcome;
        std::uint64_t skipped;
        int code;
    } cases[] = {
        {BatchOutcome::Completed, 0, 0}, {BatchOutcome::Completed, 1, 2},
        {BatchOutcome::Cancelled, 0, 3}, {BatchOutcome::Cancelled, 5, 3},
        {BatchOutcome::Failed, 0, 5},    {BatchOutcome::Refused, 0, 4},
    };
    for (const auto& c : cases) {
        BatchResult result;
        result.outcome = c.outcome;
        result.skipped = c.skipped;
        EXPECT_EQ(BatchExitCode(result), c.code) << static_cast<int>(c.outcome) << " " << c.skipped;
    }
}

}  // namespace
}  // namespace velmora
