#include "framework/Busy.h"

namespace varnel::framework {
namespace {

template <class Function>
Function Export(HMODULE module, const char* name) {
    // Through the generic function pointer type, as GetProcAddress's
    // results must be cast.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

// winmm is not one of Windows' Known DLLs: imported, or loaded by name, it
// would be looked for in the program's own folder first, where anyone may
// have put a winmm.dll of theirs (the Downloads folder the zip was unpacked
// in). It is taken from System32 only, and only while it is needed.
FineTimer::FineTimer() : m_winmm(LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    if (!m_winmm) return;
    const auto beginPeriod = Export<TimePeriod>(m_winmm, "timeBeginPeriod");
    m_endPeriod = Export<TimePeriod>(m_winmm, "timeEndPeriod");
    m_raised = beginPeriod && m_endPeriod && beginPeriod(1) == TIMERR_NOERROR;
}

FineTimer::~FineTimer() {
    if (m_raised) m_endPeriod(1);  // every raise the system granted is given back
    if (m_winmm) FreeLibrary(m_winmm);
}

void KeepAlive(HWND window) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    // Walking the window and its controls costs more than the check.
    if (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace varnel::framework
