#include "ui/batch_summary.h"

#include <cstdint>

#include "ui/batch_estimate.h"

namespace velmora {

std::optional<std::string> BatchSummary(
    const BatchResult& result, const TextCatalog& texts, std::optional<std::uint64_t> elapsedMs,
    const std::function<std::string(const std::string&)>& fitName) {
    if (result.outcome != BatchOutcome::Completed || result.skipped == 0) return std::nullopt;
    const auto line = [&texts](TextId id, std::uint64_t count) { return texts.Format(id, count); };
    std::string text = texts.Text(txt::kSummarySkipped) + "\n\n";
    text += line(txt::kSummaryHardLinks, result.hardLinks) + '\n';
    text += line(txt::kSummaryJunctions, result.junctions) + '\n';
    text += line(txt::kSummaryFolders, result.folders) + '\n';
    text += line(txt::kSummaryInPlace, result.alreadyInPlace) + '\n';
    text += line(txt::kSummarySkipCount, result.skipped);
    if (elapsedMs) {
        const std::string duration = DurationText(*elapsedMs);
        text += '\n' + texts.Format(txt::kSummaryDuration, duration);
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
