#include "ui/batch_summary.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

BatchResult Result(BatchOutcome outcome, std::uint64_t skipped,
                   std::vector<std::string> names = {}) {
    BatchResult result;
    result.outcome = outcome;
    result.hardLinks = 12;
    result.junctions = 1;
    result.folders = 3;
    result.alreadyInPlace = 40;
    result.skipped = skipped;
    result.skippedNames = std::move(names);
    return result;
}

TEST(BatchSummary, CountsAndTheFirstSkippedNamesOnlyAfterAFinishedBatchThatSkipped) {
    const std::string counts =
        "Созданы не все ссылки: часть элементов пропущена.\n\nСоздано жёстких ссылок: 12\n"
        "Создано точек соединения: 1\nСоздано каталогов: 3\nУже были на месте: 40\n";
    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i) ten.push_back("C:\\data\\f" + std::to_string(i));
    const TextCatalog builtin;
    const TextCatalog english({{txt::kSummarySkipCount, "Skipped: %d"},
                               {txt::kSummaryNames, "Skipped items:"},
                               {txt::kSummaryMoreNames, "and %s more"}});  // no match: built-in
    const struct {
        BatchResult result;
        const TextCatalog& texts;
        std::optional<std::string> summary;
        std::optional<std::uint64_t> elapsedMs = std::nullopt;  // and every name fitted
    } cases[] = {
        {Result(BatchOutcome::Completed, 0), builtin, std::nullopt},
        {Result(BatchOutcome::Cancelled, 2, {"C:\\a"}), builtin, std::nullopt},
        {Result(BatchOutcome::Completed, 1, {"C:\\data\\b.txt"}), builtin,
         counts + "Пропущено: 1\n\nПропущены:\nC:\\data\\b.txt"},
        {Result(BatchOutcome::Completed, 10, ten), builtin,
         counts + "Пропущено: 10\n\nПропущены:\n" + ten[0] + "\n" + ten[1] + "\n" + ten[2] + "\n" +
             ten[3] + "\n" + ten[4] + "\n" + ten[5] + "\n" + ten[6] + "\n" + ten[7] + "\n" +
             ten[8] + "\n" + ten[9]},
        {Result(BatchOutcome::Completed, 13, {"C:\\x"}), english,
         counts + "Skipped: 13\n\nSkipped items:\nC:\\x\nи ещё 12"},
        {Result(BatchOutcome::Completed, 3), builtin, counts + "Пропущено: 3"},
        {Result(BatchOutcome::Completed, 2, {"C:\\data\\b.txt", "C:\\c"}), builtin,
         counts + "Пропущено: 2\nВремя работы: 1:05\n\nПропущены:\n[C:\\data\\b.txt]\n[C:\\c]",
         65'400},
        {Result(BatchOutcome::Completed, 0), builtin, std::nullopt, 65'400},
    };
    const auto fit = [](const std::string& name) { return "[" + name + "]"; };
    for (const auto& c : cases) {
        if (c.elapsedMs) {
            EXPECT_EQ(BatchSummary(c.result, c.texts, c.elapsedMs, fit), c.summary);
        } else {
            EXPECT_EQ(BatchSummary(c.result, c.texts), c.summary) << c.result.skipped;
        }
    }
}

}  // namespace
}  // namespace velmora
