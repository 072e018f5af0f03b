// A run stops at the first input it cannot open, as the window's does, so
// the user would learn of a second missing file only on the next try. After
// such a stop the command line looks further, without creating, opening for
// writing or changing anything: at the other input, and at whether the
// output would have been refused.
#pragma once

#include <vector>

#include "cli/Failures.h"
#include "processing/RunObserver.h"

namespace varnel::cli {

// The problems the run did not reach, after it stopped at input `stoppedAt`
// (input 1 or 2), in the order the run would have met them. An input
// that is no file on disk (standard input, a pipe, a device) is not opened:
// opening it could take data or a connection meant for a run.
std::vector<FileProblem> ProblemsNotReached(const RunPaths& paths, RunFile stoppedAt);

}  // namespace varnel::cli
