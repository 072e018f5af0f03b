#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "safeoutput/Interrupt.h"

namespace varnel::safeoutput {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Read by the signal handler, so a plain C string behind an atomic pointer.
std::atomic<char*> g_pathToRemove{nullptr};
std::atomic<char*> g_lineToSay{nullptr};
std::atomic<char*> g_lineOnceInPlace{nullptr};
std::atomic<bool> g_progressLineOpen{false};
std::atomic<bool> g_stderrIsTerminal{false};

void WriteToStderr(const char* text) {
    std::size_t size = 0;
    while (text[size] != '\0') ++size;  // strlen is not promised to be async-signal-safe
    while (size > 0) {
        const ssize_t put = ::write(STDERR_FILENO, text, size);
        if (put <= 0) return;
        text += put;
        size -= static_cast<std::size_t>(put);
    }
}

char* CopyOf(const std::string& text) {
    if (text.empty()) return nullptr;
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void OnInterrupt(int signal) {
    if (const char* path = g_pathToRemove.load()) ::unlink(path);  // async-signal-safe
    if (const char* line = g_lineToSay.load()) {
        // The terminal has echoed ^C where the cursor was: after a progress
        // line, which is ended; at the start of an empty line, which the
        // message then writes over.
        if (g_progressLineOpen.load()) {
            WriteToStderr("\n");
        } else if (g_stderrIsTerminal.load()) {
            WriteToStderr("\r");
        }
        WriteToStderr(line);
    }
    // End the way the signal would have ended us, so that the shell and
    // scripts see an interrupted program: SA_RESETHAND restored the default
    // action, and the signal, blocked while we are here, fires on return.
    ::raise(signal);
}

sigset_t InterruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals) sigaddset(&set, signal);
    return set;
}

}  // namespace

void InstallInterruptCleanup() {
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    action.sa_mask = InterruptSignals();
    action.sa_flags = static_cast<int>(SA_RESETHAND);  // the macro is an unsigned constant
    for (const int signal : kSignals) {
        struct sigaction previous {};
        // A signal ignored by whoever started us (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
    // A file-size limit (ulimit -f) reached, or a reader of our stdout gone,
    // must end as a write that failed, reported as such with the old OUTPUT
    // kept, rather than kill the program without a word.
    ::signal(SIGXFSZ, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
}

void RemoveOnInterrupt(const std::string& path) { std::free(g_pathToRemove.exchange(CopyOf(path))); }

void SayOnInterrupt(const std::string& untilInPlace, const std::string& onceInPlace) {
    g_stderrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    std::free(g_lineOnceInPlace.exchange(CopyOf(onceInPlace)));
    std::free(g_lineToSay.exchange(CopyOf(untilInPlace)));
}

void SayOutputInPlace() { std::free(g_lineToSay.exchange(g_lineOnceInPlace.exchange(nullptr))); }

void MarkProgressLineOpen(bool open) { g_progressLineOpen = open; }

InterruptGuard::InterruptGuard() {
    const sigset_t set = InterruptSignals();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

InterruptGuard::~InterruptGuard() {
    const sigset_t set = InterruptSignals();
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace varnel::safeoutput
