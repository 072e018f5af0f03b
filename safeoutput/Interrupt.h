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

// The lines (each with its newline) that tell the user, on stderr, what an
// interrupt left behind: `untilInPlace` until CommitUninterrupted has put
// the output in place, `onceInPlace` from then on, when the run has
// succeeded and an interrupt stops only what follows it. An empty text says
// nothing.
void SayOnInterrupt(const std::string& untilInPlace, const std::string& onceInPlace);

// Switches to the line for an output in place; called while interrupts are
// held (InterruptGuard), so that none comes between the commit and the line
// that tells of it.
void SayOutputInPlace();

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
// can remove it half-way; the cleanup is disarmed afterwards. An interrupt
// held meanwhile is delivered once the guard ends: after a commit that
// succeeded, it says that the output is in place.
template <typename Commit>
bool CommitUninterrupted(Commit commit) {
    const InterruptGuard guard;
    const bool done = commit();
    RemoveOnInterrupt({});
    if (done) SayOutputInPlace();
    return done;
}

}  // namespace varnel::safeoutput
