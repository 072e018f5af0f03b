// A processing run: opens the two inputs and the output, sizes the chunks
// and buffers, runs one function and closes everything. Every failure is
// reported through the observer with its fixed text, in the order the user
// meets them; a successful run reports nothing.
#pragma once

#include <cstdint>
#include <string>

#include "ProcessFunctions.h"
#include "RunObserver.h"

namespace varnel {

struct RunRequest {
    std::string soundFile1;
    std::string soundFile2;
    std::string outputFile;
    int function = static_cast<int>(ProcessFunction::None);  // a ProcessFunction value
};

struct RunResult {
    bool succeeded = false;  // nothing was reported
    bool outputCreated = false;
    InputLengths lengths;     // as measured, before rounding
    std::size_t bufferSamples = 0;
    std::uint64_t outputBytes = 0;
    std::uint64_t clippedSamples = 0;
};

RunResult RunProcessing(const RunRequest& request, const ProcessingSettings& settings, RunObserver& observer);

}  // namespace varnel
