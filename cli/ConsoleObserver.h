// How a run reports on the command line: each failure on its own line of
// stderr, prefixed with the program's name, and the progress bar.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ProgressBar.h"
#include "RunObserver.h"

namespace varnel::cli {

// The window's text as one line: trailing blanks and newlines taken off.
std::string TrimmedMessage(const std::string& text);

class ConsoleObserver final : public RunObserver {
public:
    ConsoleObserver(std::ostream& err, ProgressBar& bar) : m_err(err), m_bar(bar) {}

    void ShowMessage(const std::string& text) override;
    void ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) override;
    void ResetProgress() override;

    // The failures shown so far, trimmed, for the JSON summary.
    const std::vector<std::string>& Messages() const { return m_messages; }

private:
    std::ostream& m_err;
    ProgressBar& m_bar;
    std::vector<std::string> m_messages;
};

}  // namespace varnel::cli
