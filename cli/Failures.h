// A failed run as the command line tells it: one line per failure, naming
// the file as the user gave it and the reason in plain words, and for the
// JSON report a stable code beside that text. The window words the same
// failures in its own texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "processing/RunFailure.h"

namespace varnel::cli {

// The paths as given on the command line ("-" for a standard stream).
struct RunPaths {
    std::string input1;
    std::string input2;
    std::string output;
    // Every input, when there are more than two or any was listed in a file,
    // and where each was listed ("" for the command line).
    std::vector<std::string> inputs = {};
    std::vector<std::string> listedAt = {};

    int InputCount() const { return inputs.empty() ? 2 : static_cast<int>(inputs.size()); }
    // Input `number`'s path, 1 for the first.
    const std::string& Input(int number) const {
        if (!inputs.empty()) return inputs.at(static_cast<std::size_t>(number - 1));
        return number == 1 ? input1 : input2;
    }
    // " (list.txt line 3)" for a listed input, else "".
    std::string ListedAt(int number) const {
        const auto slot = static_cast<std::size_t>(number - 1);
        return slot < listedAt.size() && !listedAt[slot].empty() ? " (" + listedAt[slot] + ")" : std::string();
    }
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
