// The whole program behind main(): parses the command line, runs the chosen
// function safely and reports. Returns the exit status.
#pragma once

#include <ostream>

namespace varnel::cli {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitRunFailed = 1,  // an input could not be opened or read, the output not written
    kExitUsage = 2,      // the command line was wrong
    // The reader of standard output went away: 128 + SIGPIPE, the status a
    // filter ends with when its pipe is closed (SoX's, and a shell's).
    kExitOutputGone = 141,
};

// `out` takes --help, --version and --json; `err` the failures, the progress
// bar and the summary. `errIsTerminal` allows the progress bar by default.
int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace varnel::cli
