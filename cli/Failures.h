// A failed run as the command line tells it: one line per failure, naming
// the file as the user gave it and the reason in plain words, and for the
// JSON report a stable code beside that text. The window words the same
// failures in its own texts.
#pragma once

#include <optional>
#include <string>

#include "processing/RunFailure.h"

namespace varnel::cli {

// The three paths as given on the command line ("-" for a standard stream).
struct RunPaths {
    std::string input1;
    std::string input2;
    std::string output;
};

struct Failure {
    // Stable, for scripts: "open-not-found", "open-is-folder",
    // "open-output-is-input", "read-hard-io", "write-disk-full",
    // "out-of-memory", "refused", ...
    std::string code;
    std::string message;  // one line, without the program's name
    std::string file;     // "input1", "input2", "output", or "" for the run as a whole
    std::string path;     // that file's path as given, or ""
};

// A failure of a run of `functionName` (as typed), worded for `paths`.
Failure DescribeFailure(const RunFailure& failure, const RunPaths& paths, const std::string& functionName);

// The failure a file problem is, worded for `paths`.
Failure DescribeFileProblem(const FileProblem& problem, const RunPaths& paths);

// A refusal that says the command line was incomplete rather than that the
// run failed (a WAV OUTPUT from raw inputs without --rate): its words, for a
// usage error, or nothing.
std::optional<std::string> UsageProblem(const RunFailure& failure);

}  // namespace varnel::cli
