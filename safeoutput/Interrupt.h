// Ctrl-C (and the other requests to end the program) must not leave a
// partial temporary output behind: the file named here is removed before the
// program ends as interrupted, and one line says so.
#pragma once

#include <string>

namespace varnel::safeoutput {

// Once per process, before any run. On POSIX also turns the signals of a
// failed write (SIGXFSZ, SIGPIPE) into write errors.
void InstallInterruptCleanup();

// The temporary file to remove when interrupted; an empty path disarms.
void RemoveOnInterrupt(const std::string& path);

// The line (with its newline) that tells the user, on stderr, what an
// interrupt left behind; an empty text says nothing.
void SayOnInterrupt(const std::string& line);

// Whether a progress line is drawn on stderr and not ended: an interrupt
// then ends it first, so that its own line starts a line of its own.
void MarkProgressLineOpen(bool open);

// Blocks the cleanup for the lifetime of the object.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Puts a finished temporary file in place with `commit` while no interrupt
// can remove it half-way; the cleanup is disarmed afterwards, and once the
// file is in place an interrupt no longer says the old one was kept.
template <typename Commit>
bool CommitUninterrupted(Commit commit) {
    const InterruptGuard guard;
    const bool done = commit();
    RemoveOnInterrupt({});
    if (done) SayOnInterrupt({});
    return done;
}

}  // namespace varnel::safeoutput
