// The system timer at 1 ms for the life of the object. A stock Windows ticks
// every 15.6 ms, and Sleep(1) waits for the next tick: a pause meant to be
// 1 ms would last 15.6. A finer timer costs power, so it is held only while
// work that pauses runs.
#pragma once

namespace varnel::framework {

class FineTimer {
public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

private:
    bool m_raised;  // every raise the system granted is given back
};

}  // namespace varnel::framework
