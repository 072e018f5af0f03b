// Runs varnel-cli as a child process in a given folder, its stdout and
// stderr caught in files, and reports how it ended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel::test {

struct ProgramOutcome {
    int exitCode = -1;  // the exit status; 128 + the signal when one ended it
    std::string out;
    std::string err;         // with Windows' "\r\n" turned into "\n"
    std::vector<std::string> errWrites;  // with ChildSetup::stderrWrites: each write to stderr
    long peakMemoryKiB = 0;  // POSIX: the most memory the program held (resident)
};

// How the program is started beyond its arguments; POSIX only, except the
// standard input.
struct ChildSetup {
    std::string stdinPath;            // stdin opened on this file (a named pipe gives a pipe)
    std::uint64_t fileSizeLimit = 0;  // RLIMIT_FSIZE in bytes, 0 for none
    std::string stdoutPath;           // stdout opened on this file instead of caught, e.g. /dev/full
    bool stdoutClosed = false;
    bool stdoutReaderGone = false;  // stdout a pipe whose reading end is closed (POSIX and Windows)
    bool stderrWrites = false;      // stderr a packet socket, which keeps each write apart
};

class ChildProcess {
public:
    // Starts the program with `arguments`, in `folder`. It never leaves a
    // core dump there.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& folder, const ChildSetup& setup = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // POSIX only: sends `signal` to the program.
    void Signal(int signal);
    // Ends the program at once, as SIGKILL or TerminateProcess does.
    void Kill();
    ProgramOutcome Wait();

private:
    std::string m_outPath;
    std::string m_errPath;
    long long m_process = -1;  // pid, or the process handle on Windows
    int m_errPackets = -1;     // POSIX: the reading end of stderr as a packet socket
    bool m_waited = false;
};

// The path of the varnel-cli program under test.
std::string CliProgram();

// Runs varnel-cli with `arguments` in `folder` and waits for it.
ProgramOutcome RunCliProgram(const std::vector<std::string>& arguments, const std::string& folder,
                             const ChildSetup& setup = {});

}  // namespace varnel::test
