#include <windows.h>

#include <mutex>

#include "safeoutput/Interrupt.h"

namespace varnel::safeoutput {
namespace {

// Win32 quirk: a console control handler runs on a thread of its own while
// the run goes on, so the path is guarded by a lock. Both live until the
// process ends (never destroyed), since the handler may hold the lock then.
std::recursive_mutex& Lock() {
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

std::string& PathToRemove() {
    static auto* path = new std::string;
    return *path;
}

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    // Keep the lock: the program is about to end, and the run must not put
    // the temporary file in place after it was removed.
    Lock().lock();
    // The temporary file is open for writing but shares deletion, so it is
    // only marked here; it goes away when the process ends and the handle
    // closes.
    if (!PathToRemove().empty()) DeleteFileA(PathToRemove().c_str());
    return FALSE;  // on to the default handler, which ends the process
}

}  // namespace

void InstallInterruptCleanup() { SetConsoleCtrlHandler(&OnConsoleControl, TRUE); }

void RemoveOnInterrupt(const std::string& path) {
    const std::lock_guard lock(Lock());
    PathToRemove() = path;
}

InterruptGuard::InterruptGuard() { Lock().lock(); }

InterruptGuard::~InterruptGuard() { Lock().unlock(); }

}  // namespace varnel::safeoutput
