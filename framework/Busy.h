// What a window holds while long work runs on its thread, each for the life
// of its object: the hourglass (the previous cursor returns at the end), and
// the system timer at 1 ms. A stock Windows ticks every 15.6 ms and Sleep(1)
// waits for the next tick: a pause meant to be 1 ms would last 15.6. A finer
// timer costs power, so it is held only while such work runs.
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
    FineTimer() : m_raised(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimer() {
        if (m_raised) timeEndPeriod(1);  // every raise the system granted is given back
    }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    bool m_raised;
};

}  // namespace varnel::framework
