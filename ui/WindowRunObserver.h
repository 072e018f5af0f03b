// How a run started from the main window reports: each failure in an OK
// box with the application's caption (the run goes on once it is closed),
// the progress bar, and the wait cursor while the function works. While it
// works, the system timer runs at 1 ms, so that the pause after each chunk
// is the 1 ms it is meant to be. After each chunk the window is kept
// painted and seen alive, though it takes no input until the run ends.
#pragma once

#include <optional>
#include <utility>

#include "framework/Busy.h"
#include "framework/Control.h"
#include "processing/RunObserver.h"
#include "ui/RunMessages.h"

namespace varnel {

class WindowRunObserver : public RunObserver {
public:
    // `paths`: what the fields named, for the texts that name a file.
    explicit WindowRunObserver(framework::ProgressBar& progress, WindowRunPaths paths = {})
        : m_progress(progress), m_paths(std::move(paths)) {}

    // One OK box for each of the window's texts for it.
    void ReportFailure(const RunFailure& failure) override;
    void BeginWait() override;
    void EndWait() override;
    void ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) override;
    void ResetProgress() override;

private:
    framework::ProgressBar& m_progress;
    WindowRunPaths m_paths;
    std::optional<framework::WaitCursor> m_wait;
    std::optional<framework::FineTimer> m_fineTimer;
    static constexpr ULONGLONG kKeepAliveMilliseconds = 16;
    ULONGLONG m_lastKeptAlive = 0;
};

}  // namespace varnel
