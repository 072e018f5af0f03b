#include "FineTimer.h"

#include <windows.h>
#include <mmsystem.h>

namespace varnel::framework {
namespace {
constexpr UINT kPeriodMilliseconds = 1;
}

FineTimer::FineTimer() : m_raised(timeBeginPeriod(kPeriodMilliseconds) == TIMERR_NOERROR) {}

FineTimer::~FineTimer() {
    if (m_raised) timeEndPeriod(kPeriodMilliseconds);
}

}  // namespace varnel::framework
