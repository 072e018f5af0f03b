#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "ChildProcess.h"
#include "support/TempFolder.h"

namespace varnel::test {
namespace {

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += static_cast<char>(bytes[i]);
    }
    return text;
}

// The command-line quoting that the C runtime's argument parser undoes.
std::string Quoted(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted += std::string(2 * backslashes + 1, '\\');
        else
            quoted += std::string(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    return quoted + std::string(2 * backslashes, '\\') + "\"";
}

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    return file;
}

// Beside the test's folder, so that the program's folder holds only what
// it writes itself.
std::string CapturePath(const std::string& folder, const char* stream) {
    static std::atomic<int> counter{0};
    return folder + "\\..\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + "-child." +
           stream;
}

}  // namespace

// The build knows the program by its Linux path; under Wine the Linux root
// is drive Z:.
std::string CliProgram() {
    std::string path = VARNEL_CLI_PROGRAM;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        std::replace(path.begin(), path.end(), '/', '\\');
    }
    return path;
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& folder,
                           const ChildSetup& setup)
    : m_outPath(CapturePath(folder, "out")), m_errPath(CapturePath(folder, "err")) {
    std::string commandLine = Quoted(CliProgram());
    for (const std::string& argument : arguments) commandLine += " " + Quoted(argument);

    HANDLE out = InheritableFile(m_outPath);
    HANDLE err = InheritableFile(m_errPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    HANDLE in = nullptr;
    if (!setup.stdinPath.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        in = CreateFileA(setup.stdinPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (in == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + setup.stdinPath);
    }
    startup.hStdInput = in ? in : GetStdHandle(STD_INPUT_HANDLE);
    HANDLE goneWriter = nullptr;
    if (setup.stdoutReaderGone) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE reader = nullptr;
        if (!CreatePipe(&reader, &goneWriter, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
        CloseHandle(reader);
    }
    startup.hStdOutput = goneWriter ? goneWriter : out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                        &startup, &process);
    const DWORD startError = started ? ERROR_SUCCESS : GetLastError();
    CloseHandle(out);
    CloseHandle(err);
    if (in) CloseHandle(in);
    if (goneWriter) CloseHandle(goneWriter);
    // The system's error, so that a start Wine refuses now and then can be told apart.
    if (!started) throw std::runtime_error("cannot start " + commandLine + " (error " + std::to_string(startError) + ")");
    CloseHandle(process.hThread);
    m_process = reinterpret_cast<long long>(process.hProcess);
}

ChildProcess::~ChildProcess() {
    if (!m_waited) Wait();
    DeleteFileA(m_outPath.c_str());
    DeleteFileA(m_errPath.c_str());
}

void ChildProcess::Signal(int) {}

void ChildProcess::Kill() { TerminateProcess(reinterpret_cast<HANDLE>(m_process), 9); }

ProgramOutcome ChildProcess::Wait() {
    const auto process = reinterpret_cast<HANDLE>(m_process);
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    m_waited = true;
    ProgramOutcome outcome;
    outcome.exitCode = static_cast<int>(code);
    outcome.out = ReadText(m_outPath);
    outcome.err = ReadText(m_errPath);
    return outcome;
}

ProgramOutcome RunCliProgram(const std::vector<std::string>& arguments, const std::string& folder,
                             const ChildSetup& setup) {
    return ChildProcess(arguments, folder, setup).Wait();
}

}  // namespace varnel::test
