#include "ui/WindowRunObserver.h"

#include "framework/MessageBox.h"

namespace varnel {

void WindowRunObserver::ReportFailure(const RunFailure& failure) {
    for (const std::string& text : WindowTexts(failure, m_paths)) framework::AppMessageBox(text, MB_OK);
}

void WindowRunObserver::BeginWait() {
    m_wait.emplace();
    m_fineTimer.emplace();
}

void WindowRunObserver::EndWait() {
    m_fineTimer.reset();
    m_wait.reset();
}

void WindowRunObserver::ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    m_progress.SetPos(ProgressPercent(doneBytes, totalBytes));
    // A frame's time apart is soon enough for the eye and far inside the
    // 5 s after which Windows takes the window for hung; each check costs a
    // trip to the window system (to the Wine server under Wine).
    const ULONGLONG now = GetTickCount64();
    if (now - m_lastKeptAlive < kKeepAliveMilliseconds) return;
    m_lastKeptAlive = now;
    framework::KeepAlive(GetAncestor(m_progress.GetSafeHwnd(), GA_ROOT));
}

void WindowRunObserver::ResetProgress() { m_progress.SetPos(0); }

}  // namespace varnel
