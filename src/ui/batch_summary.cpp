#include "ui/batch_summary.h"

#include <cstdint>

namespace velmora {

std::optional<std::string> BatchSummary(const BatchResult& result, const TextCatalog& texts) {
    if (result.outcome != BatchOutcome::Completed || result.skipped == 0) return std::nullopt;
    const auto line = [&texts](TextId id, std::uint64_t count) { return texts.Format(id, count); };
    std::string text = texts.Text(txt::kSummarySkipped) + "\n\n";
    text += line(txt::kSummaryHardLinks, result.hardLinks) + '\n';
    text += line(txt::kSummaryJunctions, result.junctions) + '\n';
    text += line(txt::kSummaryFolders, result.folders) + '\n';
    text += line(txt::kSummaryInPlace, result.alreadyInPlace) + '\n';
    text += line(txt::kSummarySkipCount, result.skipped);
    if (result.skippedNames.empty()) return text;
    text += "\n\n" + texts.Text(txt::kSummaryNames);
    for (const std::string& name : result.skippedNames) text += '\n' + name;
    if (result.skipped > result.skippedNames.size()) {
        text += '\n' + line(txt::kSummaryMoreNames, result.skipped - result.skippedNames.size());
    }
    return text;
}

}  // namespace velmora
