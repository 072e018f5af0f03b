// How a run reports on the command line: each failure on its own line of
// stderr, prefixed with the program's name and naming the file it concerns,
// and the progress bar.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Failures.h"
#include "cli/ProgressBar.h"
#include "processing/RunObserver.h"

namespace varnel::cli {

// The window's text as one line: trailing blanks and newlines taken off.
std::string TrimmedMessage(const std::string& text);

class ConsoleObserver final : public RunObserver {
public:
    ConsoleObserver(std::ostream& err, ProgressBar& bar, RunPaths paths)
        : m_err(err), m_bar(bar), m_paths(std::move(paths)) {}

    void ShowMessage(const std::string& text) override;
    void ReportFileProblem(const FileProblem& problem, const std::vector<std::string>& windowTexts) override;
    void ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) override;
    void ResetProgress() override;
    void TotalUnknown() override { m_bar.TotalUnknown(); }

    // The failures shown so far, for the JSON report.
    const std::vector<Failure>& Failures() const { return m_failures; }
    // The input whose open failed, which ended the run; nothing when none.
    std::optional<RunFile> InputNotOpened() const { return m_inputNotOpened; }
    // The reader of standard output, OUTPUT -, went away: the run ended
    // there, without a word, as a filter ends.
    bool StandardOutputGone() const { return m_standardOutputGone; }

private:
    void Show(Failure failure);

    std::ostream& m_err;
    ProgressBar& m_bar;
    RunPaths m_paths;
    std::vector<Failure> m_failures;
    std::optional<RunFile> m_inputNotOpened;
    bool m_standardOutputGone = false;
};

}  // namespace varnel::cli
