// What the program tells the user and the calling script after a batch: the summary shown
// when anything was skipped, and the exit code. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "links/batch.h"
#include "text/texts.h"

namespace velmora {

// The program's exit codes; the file manager ignores them, scripts read them.
namespace exit_code {
inline constexpr int kDone = 0;        // a batch ran and everything asked is in place
inline constexpr int kNoBatch = 1;     // the dialog closed without a batch
inline constexpr int kSkipped = 2;     // the batch finished with skipped items
inline constexpr int kCancelled = 3;   // the batch was cancelled (or broken off by a failure)
inline constexpr int kNotStarted = 4;  // wrong arguments, an unreadable list, a refused target
}  // namespace exit_code

int BatchExitCode(const BatchResult& result);

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
