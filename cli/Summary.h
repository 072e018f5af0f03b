// What a finished run tells the user: one summary line on stderr (and notes
// for what deserves a second look), or one JSON object on stdout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Failures.h"
#include "processing/ProcessingRun.h"
#include "processing/StreamFormat.h"

namespace varnel::cli {

struct RunFormats {
    StreamFormat output;
    std::vector<StreamFormat> inputs;  // input N's at N - 1; none known past those the run accepted
};

// One input as the run found it.
struct InputSummary {
    // Its length as the run found it: what was read, or for a file on disk
    // not read to its end (the longer input of a merge), its length at the
    // end of the run.
    std::uint64_t bytes = 0;
    bool changed = false;     // its length changed during the run
    bool unfinished = false;  // a pipe or device not read to its end: its length is unknown
    std::uint64_t unused = 0;  // whole samples mono or stereo left unused
};

struct RunSummary {
    RunPaths paths;  // as given
    std::string functionName;
    ProcessFunction function = ProcessFunction::None;
    bool padded = false;
    bool averaged = false;  // mono: the inputs' mean
    bool succeeded = false;
    std::vector<InputSummary> inputs;  // input N at N - 1
    std::uint64_t outputBytes = 0;
    std::uint64_t clippedSamples = 0;
    RunFormats formats;
    std::vector<Failure> failures;  // as shown
};

RunSummary SummaryOf(const CliOptions& options, const RunResult& result, bool succeeded, std::vector<Failure> failures);

// "mono: input 1 1000 samples (raw), input 2 800 samples (WAV, 8000 Hz,
// 1 channel, 0.100 s), output 800 samples (raw), 12 samples clipped", then
// one line per note, each without a newline. Past two inputs: "join: 50
// inputs, 44100 samples (raw), output ...".
std::vector<std::string> SummaryLines(const RunSummary& summary);

// Mono's sums that left the 16-bit range, as a warning of its own: "15962
// of 220500 samples clipped (7.2%); ..."; "" when none was.
std::string ClippingWarning(const RunSummary& summary);

// One line of JSON, without a newline: the program's version, the paths as
// given, and either what the run did or its failures, each with a stable
// code beside its text.
std::string SummaryJson(const RunSummary& summary);

}  // namespace varnel::cli
