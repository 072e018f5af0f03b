// Before a run the command line looks at its files once, without creating,
// writing or changing any: what each is, for the words of a failure; which
// input OUTPUT is, if any; and every input that cannot be opened, with an
// OUTPUT that would be refused. A run stops at the first input it cannot
// open, as the window's does: without this look the user would learn of a
// second missing file only on the next try.
#pragma once

#include <optional>
#include <vector>

#include "cli/Failures.h"

namespace varnel::cli {

struct FilesBeforeRun {
    FilesFound found;
    // Every input that cannot be opened, in order. A pipe or a device is
    // not opened to see: that could take data or a connection meant for
    // the run.
    std::vector<FileProblem> inputsNotOpened;
    // The refusal a named OUTPUT's open would meet, as far as can be told
    // without opening it.
    std::optional<FileProblem> outputRefused;
};

FilesBeforeRun LookAtFiles(const RunPaths& paths);

}  // namespace varnel::cli
