// A failed run as the command line tells it: one line per failure, naming
// the file as the user gave it and the reason in plain words, and for the
// JSON report a stable code beside that text. The window's own texts
// ("Sound File 1 Not Found", "badPath") stay the window's.
#pragma once

#include <string>

#include "processing/RunObserver.h"

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

// The failure a file problem is, worded for `paths`.
Failure DescribeFileProblem(const FileProblem& problem, const RunPaths& paths);

// A failure the run reported only as text (a refused buffer, a refused
// format): kept as it is, with a code for its kind.
Failure DescribeMessage(const std::string& text);

}  // namespace varnel::cli
