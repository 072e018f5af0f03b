#include "cli/ConsoleObserver.h"

#include "cli/CommandLine.h"
#include "cli/Console.h"

namespace varnel::cli {

void ConsoleObserver::ReportFailure(const RunFailure& failure) {
    if (IsUsageProblem(failure)) {
        m_usageError = true;
        return;
    }
    if (const auto* problem = std::get_if<FileProblem>(&failure)) {
        if (problem->file.IsOutput() && problem->action == FileAction::Write && m_paths.output == kStandardStream &&
            IsBrokenPipe(problem->failure.osError)) {
            m_standardOutputGone = true;
            return;
        }
        if (!problem->file.IsOutput() && problem->action == FileAction::Open) m_inputNotOpened = true;
    }
    Failure described = DescribeFailure(failure, m_paths, m_functionName);
    m_bar.Clear();
    m_err << ProgramLine(described.message) << std::flush;
    m_failures.push_back(std::move(described));
}

void ConsoleObserver::ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    m_bar.Update(doneBytes, totalBytes);
}

void ConsoleObserver::ResetProgress() { m_bar.Clear(); }

}  // namespace varnel::cli
