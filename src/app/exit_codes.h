// The program's exit codes and the one a batch ends with (portable). The file manager ignores
// them; scripts read them.
#pragma once

#include "links/batch.h"

namespace velmora {

namespace exit_code {
inline constexpr int kDone = 0;        // a batch ran and everything asked is in place
inline constexpr int kNoBatch = 1;     // the dialog closed without a batch
inline constexpr int kSkipped = 2;     // the batch finished with skipped items
inline constexpr int kCancelled = 3;   // the user cancelled the batch
inline constexpr int kNotStarted = 4;  // wrong arguments, an unreadable list, a refused target
inline constexpr int kBrokenOff = 5;   // an unexpected failure broke the batch off (message 108)
}  // namespace exit_code

constexpr int BatchExitCode(const BatchResult& result) {
    switch (result.outcome) {
        case BatchOutcome::Completed:
            return result.skipped == 0 ? exit_code::kDone : exit_code::kSkipped;
        case BatchOutcome::Refused:
            return exit_code::kNotStarted;
        case BatchOutcome::Failed:
            return exit_code::kBrokenOff;
        case BatchOutcome::Cancelled:
            break;
    }
    return exit_code::kCancelled;
}

}  // namespace velmora
