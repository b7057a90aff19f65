#include "ui/batch_summary.h"

#include <cstdint>

#include "text/safe_format.h"
#include "ui/batch_estimate.h"

namespace velmora {

int BatchExitCode(const BatchResult& result) {
    switch (result.outcome) {
        case BatchOutcome::Completed:
            return result.skipped == 0 ? exit_code::kDone : exit_code::kSkipped;
        case BatchOutcome::Refused:
            return exit_code::kNotStarted;
        case BatchOutcome::Cancelled:
        case BatchOutcome::Failed:
            break;
    }
    return exit_code::kCancelled;
}

std::optional<std::string> BatchSummary(
    const BatchResult& result, const TextCatalog& texts, std::optional<std::uint64_t> elapsedMs,
    const std::function<std::string(const std::string&)>& fitName) {
    if (result.outcome != BatchOutcome::Completed || result.skipped == 0) return std::nullopt;
    const auto line = [&texts](TextId id, std::uint64_t count) {
        return SafeFormat(texts.Text(id), BuiltinText(id), {static_cast<std::int64_t>(count)});
    };
    std::string text = texts.Text(txt::kSummarySkipped) + "\n\n";
    text += line(txt::kSummaryHardLinks, result.hardLinks) + '\n';
    text += line(txt::kSummaryJunctions, result.junctions) + '\n';
    text += line(txt::kSummaryFolders, result.folders) + '\n';
    text += line(txt::kSummaryInPlace, result.alreadyInPlace) + '\n';
    text += line(txt::kSummarySkipCount, result.skipped);
    if (elapsedMs) {
        const std::string duration = DurationText(*elapsedMs);
        text += '\n' + SafeFormat(texts.Text(txt::kSummaryDuration),
                                  BuiltinText(txt::kSummaryDuration), {std::string_view(duration)});
    }
    if (result.skippedNames.empty()) return text;
    text += "\n\n" + texts.Text(txt::kSummaryNames);
    for (const std::string& name : result.skippedNames)
        text += '\n' + (fitName ? fitName(name) : name);
    if (result.skipped > result.skippedNames.size()) {
        text += '\n' + line(txt::kSummaryMoreNames, result.skipped - result.skippedNames.size());
    }
    return text;
}

}  // namespace velmora
