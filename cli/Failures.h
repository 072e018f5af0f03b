// A failed run as the command line tells it: one line per failure, naming
// the file as the user gave it and the reason in plain words, and for the
// JSON report a stable code beside that text. The window words the same
// failures in its own texts.
#pragma once

#include <string>
#include <vector>

#include "processing/RunFailure.h"

namespace varnel::cli {

// What the command line found of the run's files before the run, by looking
// at them without writing: what the words of a failure need to name the real
// situation, so that no wording looks at a disk that may have changed since.
struct FilesFound {
    std::vector<bool> inputIsFolder = {};  // input N at N - 1
    bool outputIsFolder = false;
    bool outputFolderMissing = false;  // the folder OUTPUT would go into
    int inputThatIsOutput = 0;         // the input OUTPUT is, however each is named; 0 when none
};

// The paths as given on the command line ("-" for a standard stream), and
// what was found of them.
struct RunPaths {
    std::vector<std::string> inputs;
    std::string output;
    // Where each input was listed ("" for the command line).
    std::vector<std::string> listedAt = {};
    FilesFound found = {};

    int InputCount() const { return static_cast<int>(inputs.size()); }
    // Input `number`'s path, 1 for the first.
    const std::string& Input(int number) const { return inputs.at(static_cast<std::size_t>(number - 1)); }
    bool InputIsFolder(int number) const {
        const auto slot = static_cast<std::size_t>(number - 1);
        return slot < found.inputIsFolder.size() && found.inputIsFolder[slot];
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
    std::string file;     // "input" and its number ("input3"), "output", or "" for the run as a whole
    std::string path;     // that file's path as given, or ""
};

// A failure of a run of `functionName` (as typed), worded for `paths`.
Failure DescribeFailure(const RunFailure& failure, const RunPaths& paths, const std::string& functionName);

// The failure a file problem is, worded for `paths`.
Failure DescribeFileProblem(const FileProblem& problem, const RunPaths& paths);

// A refusal that says the command line was incomplete rather than that the
// run failed: a WAV OUTPUT from inputs found raw by their content, without
// --rate.
bool IsUsageProblem(const RunFailure& failure);

}  // namespace varnel::cli
