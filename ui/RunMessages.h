// The window's words for a run's failures: the texts of its message boxes,
// one box per text, in the order shown.
#pragma once

#include <string>
#include <vector>

#include "processing/ProcessFunctions.h"
#include "processing/RunFailure.h"

namespace varnel {

// What the fields named when the run began, for the texts that name a file.
struct WindowRunPaths {
    std::string soundFile1;
    std::string soundFile2;
    std::string outputFile;
    ProcessFunction function = ProcessFunction::None;
};

std::vector<std::string> WindowTexts(const RunFailure& failure, const WindowRunPaths& paths = {});

}  // namespace varnel
