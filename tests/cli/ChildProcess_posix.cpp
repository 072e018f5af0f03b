#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>

#include "ChildProcess.h"
#include "support/TempFolder.h"

namespace varnel::test {
namespace {

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Beside the test's folder, so that the program's folder holds only what
// it writes itself.
std::string CapturePath(const std::string& folder, const char* stream) {
    static std::atomic<int> counter{0};
    return folder + "/../" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-child." + stream;
}

}  // namespace

std::string CliProgram() { return VARNEL_CLI_PROGRAM; }

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& folder,
                           const ChildSetup& setup)
    : m_outPath(CapturePath(folder, "out")), m_errPath(CapturePath(folder, "err")) {
    std::vector<std::string> all{CliProgram()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int gonePipe[2] = {-1, -1};
    if (setup.stdoutReaderGone && ::pipe(gonePipe) == 0) ::close(gonePipe[0]);
    int errPackets[2] = {-1, -1};
    if (setup.stderrWrites && ::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, errPackets) != 0)
        throw std::runtime_error("no packet socket for stderr");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const std::string& outPath = setup.stdoutPath.empty() ? m_outPath : setup.stdoutPath;
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::close(out);
        ::close(err);
        if (setup.stdoutClosed) ::close(1);
        if (gonePipe[1] >= 0) ::dup2(gonePipe[1], 1);
        if (errPackets[1] >= 0) ::dup2(errPackets[1], 2);
        if (!setup.stdinPath.empty()) {
            const int in = ::open(setup.stdinPath.c_str(), O_RDONLY);
            if (in < 0) ::_exit(127);
            ::dup2(in, 0);
            ::close(in);
        }
        const struct rlimit noCore { 0, 0 };
        ::setrlimit(RLIMIT_CORE, &noCore);
        if (setup.fileSizeLimit > 0) {
            const struct rlimit fileSize { setup.fileSizeLimit, setup.fileSizeLimit };
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (gonePipe[1] >= 0) ::close(gonePipe[1]);
    if (errPackets[1] >= 0) ::close(errPackets[1]);
    m_errPackets = errPackets[0];
    m_process = pid;
}

ChildProcess::~ChildProcess() {
    if (!m_waited) Wait();
    ::unlink(m_outPath.c_str());
    ::unlink(m_errPath.c_str());
}

void ChildProcess::Signal(int signal) { ::kill(static_cast<pid_t>(m_process), signal); }

void ChildProcess::Kill() { Signal(SIGKILL); }

ProgramOutcome ChildProcess::Wait() {
    int status = 0;
    struct rusage usage {};
    while (::wait4(static_cast<pid_t>(m_process), &status, 0, &usage) < 0) {
    }
    m_waited = true;
    ProgramOutcome outcome;
    outcome.peakMemoryKiB = usage.ru_maxrss;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::error_code error;
    if (std::filesystem::exists(m_outPath, error)) outcome.out = ReadText(m_outPath);  // not when sent elsewhere
    outcome.err = ReadText(m_errPath);
    if (m_errPackets >= 0) {
        // The program has ended: every packet it sent is queued, and a read
        // past the last one sees the end.
        char packet[65536];
        ssize_t got = 0;
        while ((got = ::recv(m_errPackets, packet, sizeof packet, 0)) > 0) {
            outcome.errWrites.emplace_back(packet, static_cast<std::size_t>(got));
            outcome.err += outcome.errWrites.back();
        }
        ::close(m_errPackets);
        m_errPackets = -1;
    }
    return outcome;
}

ProgramOutcome RunCliProgram(const std::vector<std::string>& arguments, const std::string& folder,
                             const ChildSetup& setup) {
    return ChildProcess(arguments, folder, setup).Wait();
}

}  // namespace varnel::test
