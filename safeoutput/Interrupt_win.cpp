#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

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

std::string& LineToSay() {
    static auto* line = new std::string;
    return *line;
}

std::string& LineOnceInPlace() {
    static auto* line = new std::string;
    return *line;
}

std::atomic<bool> g_progressLineOpen{false};

// On a console as UTF-16, so that a name shows its characters whatever the
// console's code page; elsewhere the UTF-8 bytes.
void WriteToStderr(const std::string& text) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0, done = 0;
    if (err == INVALID_HANDLE_VALUE || err == nullptr || text.empty()) return;
    if (!GetConsoleMode(err, &mode)) {
        WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
        return;
    }
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    WriteConsoleW(err, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
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
    // The console echoes nothing for Ctrl-C: a progress line is ended, and
    // the line follows.
    if (!LineToSay().empty()) WriteToStderr((g_progressLineOpen ? "\n" : "") + LineToSay());
    return FALSE;  // on to the default handler, which ends the process
}

}  // namespace

void InstallInterruptCleanup() { SetConsoleCtrlHandler(&OnConsoleControl, TRUE); }

void RemoveOnInterrupt(const std::string& path) {
    const std::lock_guard lock(Lock());
    PathToRemove() = path;
}

void SayOnInterrupt(const std::string& untilInPlace, const std::string& onceInPlace) {
    const std::lock_guard lock(Lock());
    LineToSay() = untilInPlace;
    LineOnceInPlace() = onceInPlace;
}

void SayOutputInPlace() {
    const std::lock_guard lock(Lock());
    LineToSay() = LineOnceInPlace();
}

void MarkProgressLineOpen(bool open) { g_progressLineOpen = open; }

InterruptGuard::InterruptGuard() { Lock().lock(); }

InterruptGuard::~InterruptGuard() { Lock().unlock(); }

}  // namespace varnel::safeoutput
