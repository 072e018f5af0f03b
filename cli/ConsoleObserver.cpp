#include "ConsoleObserver.h"

#include "CommandLine.h"

namespace varnel::cli {

std::string TrimmedMessage(const std::string& text) {
    const auto end = text.find_last_not_of(" \r\n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

void ConsoleObserver::ShowMessage(const std::string& text) {
    m_bar.Clear();
    m_messages.push_back(TrimmedMessage(text));
    m_err << kProgramName << ": " << m_messages.back() << '\n' << std::flush;
}

void ConsoleObserver::ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    m_bar.Update(doneBytes, totalBytes);
}

void ConsoleObserver::ResetProgress() { m_bar.Clear(); }

}  // namespace varnel::cli
