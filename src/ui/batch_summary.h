// What the program tells the user after a batch: the summary shown when anything was skipped.
// Portable.
#pragma once

#include <optional>
#include <string>

#include "links/batch.h"
#include "text/texts.h"

namespace velmora {

// The summary of a batch that finished with skipped items, in the language of `texts`: the
// heading, the counts (hard links, junctions, folders, already in place, skipped) and the
// first skipped names, then "and N more" for the rest. Nothing for any other batch.
std::optional<std::string> BatchSummary(const BatchResult& result, const TextCatalog& texts);

}  // namespace velmora
