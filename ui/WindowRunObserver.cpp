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
}

void WindowRunObserver::ResetProgress() { m_progress.SetPos(0); }

}  // namespace varnel
