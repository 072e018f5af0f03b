// How a run reports on the command line: each failure on its own line of
// stderr, prefixed with the program's name and naming the file it concerns,
// and the progress bar.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Failures.h"
#include "cli/ProgressBar.h"
#include "processing/RunObserver.h"

namespace varnel::cli {

class ConsoleObserver final : public RunObserver {
public:
    // `paths` and `functionName` as given, for the words of the failures.
    ConsoleObserver(std::ostream& err, ProgressBar& bar, const RunPaths& paths, const std::string& functionName)
        : m_err(err), m_bar(bar), m_paths(paths), m_functionName(functionName) {}

    void ReportFailure(const RunFailure& failure) override;
    void ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) override;
    void ResetProgress() override;
    void TotalUnknown() override { m_bar.TotalUnknown(); }

    // The failures shown so far, for the JSON report.
    const std::vector<Failure>& Failures() const { return m_failures; }
    // An input could not be opened, which ended the run.
    bool InputNotOpened() const { return m_inputNotOpened; }
    // The reader of standard output, OUTPUT -, went away: the run ended
    // there, without a word, as a filter ends.
    bool StandardOutputGone() const { return m_standardOutputGone; }
    // Set, and nothing shown, when the run found the command line to be
    // incomplete: a usage error (kRateNeeded).
    bool UsageError() const { return m_usageError; }

private:
    std::ostream& m_err;
    ProgressBar& m_bar;
    const RunPaths& m_paths;
    const std::string& m_functionName;
    std::vector<Failure> m_failures;
    bool m_inputNotOpened = false;
    bool m_standardOutputGone = false;
    bool m_usageError = false;
};

}  // namespace varnel::cli
