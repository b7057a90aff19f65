// What the program tells the user after a batch: the summary shown when anything was skipped.
// Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "links/batch.h"
#include "text/texts.h"

namespace velmora {

// The summary of a batch that finished with skipped items, in the language of `texts`: the
// heading, the counts (hard links, junctions, folders, already in place, skipped), how long
// the batch took when `elapsedMs` is given, and the first skipped names, each as `fitName`
// makes it (so that a long name cannot push the rest off the screen), then "and N more" for
// the rest. Nothing for any other batch.
std::optional<std::string> BatchSummary(
    const BatchResult& result, const TextCatalog& texts,
    std::optional<std::uint64_t> elapsedMs = std::nullopt,
    const std::function<std::string(const std::string&)>& fitName = {});

}  // namespace velmora
