#include "app/exit_codes.h"

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

}  // namespace velmora
