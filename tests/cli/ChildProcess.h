// Runs varnel-cli as a child process in a given folder, its stdout and
// stderr caught in files, and reports how it ended.
#pragma once

#include <string>
#include <vector>

namespace varnel::test {

struct ProgramOutcome {
    int exitCode = -1;  // the exit status; 128 + the signal when one ended it
    std::string out;
    std::string err;    // with Windows' "\r\n" turned into "\n"
    long peakMemoryKiB = 0;  // POSIX: the most memory the program held (resident)
};

class ChildProcess {
public:
    // Starts the program with `arguments`, in `folder`.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& folder);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // POSIX only: sends `signal` to the program.
    void Signal(int signal);
    ProgramOutcome Wait();

private:
    std::string m_outPath;
    std::string m_errPath;
    long long m_process = -1;  // pid, or the process handle on Windows
    bool m_waited = false;
};

// The path of the varnel-cli program under test.
std::string CliProgram();

// Runs varnel-cli with `arguments` in `folder` and waits for it.
ProgramOutcome RunCliProgram(const std::vector<std::string>& arguments, const std::string& folder);

}  // namespace varnel::test
