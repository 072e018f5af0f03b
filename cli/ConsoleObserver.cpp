#include "cli/ConsoleObserver.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"

namespace varnel::cli {

std::string TrimmedMessage(const std::string& text) {
    const auto end = text.find_last_not_of(" \r\n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

void ConsoleObserver::ShowMessage(const std::string& text) { Show(DescribeMessage(TrimmedMessage(text))); }

void ConsoleObserver::ReportFileProblem(const FileProblem& problem, const std::vector<std::string>&) {
    if (problem.file == RunFile::Output && problem.action == FileAction::Write && m_paths.output == kStandardStream &&
        IsBrokenPipe(problem.failure.osError)) {
        m_standardOutputGone = true;
        return;
    }
    if (problem.file != RunFile::Output && problem.action == FileAction::Open && !m_inputNotOpened)
        m_inputNotOpened = problem.file;
    Show(DescribeFileProblem(problem, m_paths));
}

void ConsoleObserver::Show(Failure failure) {
    m_bar.Clear();
    m_err << kProgramName << ": " << failure.message << '\n' << std::flush;
    m_failures.push_back(std::move(failure));
}

void ConsoleObserver::ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    m_bar.Update(doneBytes, totalBytes);
}

void ConsoleObserver::ResetProgress() { m_bar.Clear(); }

}  // namespace varnel::cli
