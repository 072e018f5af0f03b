// What a window holds while long work runs on its thread, each for the life
// of its object: the hourglass (the previous cursor returns at the end), and
// the system timer at 1 ms. A stock Windows ticks every 15.6 ms and Sleep(1)
// waits for the next tick: a pause meant to be 1 ms would last 15.6. A finer
// timer costs power, so it is held only while such work runs. And what the
// work does between its steps so that the window never looks hung.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace varnel::framework {

class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

class FineTimer {
public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    using TimePeriod = MMRESULT(WINAPI*)(UINT);
    HMODULE m_winmm = nullptr;
    TimePeriod m_endPeriod = nullptr;
    bool m_raised = false;
};

// Between two steps of long work on a window's thread: shows the system
// that the thread still asks for messages, and paints what has become
// invalid (a part another window uncovered, a progress bar moved), while
// taking no input. Windows takes a window whose thread has asked for no
// message for 5 seconds as hung: "(Not Responding)" in its title, a frozen
// picture, and a click offers to end the program. PM_NOREMOVE takes no
// posted message from the queue (clicks and keys wait there until the work
// has ended); only messages other threads send are delivered, as at any
// message check, and the paint messages of `window` and its controls.
void KeepAlive(HWND window);

}  // namespace varnel::framework
