#include "safeoutput/SafeOutput.h"

#include <utility>

#include "cli/CommandLine.h"
#include "safeoutput/FileIdentity.h"
#include "safeoutput/Interrupt.h"

namespace varnel::cli {

SafeOutput::SafeOutput(std::string input1, std::string input2)
    : m_input1(std::move(input1)), m_input2(std::move(input2)) {}

SafeOutput::~SafeOutput() { Discard(); }

bool SafeOutput::OpenInput(const std::string& inputFile, File& input, File::Mode mode, FileFailure& failure) {
    if (inputFile == kStandardStream) return input.OpenStandard(File::Standard::Input, failure);
    return input.Open(inputFile, mode, failure);
}

bool SafeOutput::OpenOutput(const std::string& outputFile, File& output, FileFailure& failure) {
    if (outputFile == kStandardStream) return output.OpenStandard(File::Standard::Output, failure);
    // No name, no folder to write beside: refused by the open as in the window.
    if (outputFile.empty()) return output.Open(outputFile, File::Mode::CreateWrite, failure);
    m_target = ResolvedOutputPath(outputFile);
    if (const auto existing = IdentityOf(m_target)) {
        // Devices, pipes and folders are opened as the window opens them:
        // there is no content to keep, and a folder is refused by the open.
        if (!existing->regular) return output.Open(m_target, File::Mode::CreateWrite, failure);
        for (const std::string* input : {&m_input1, &m_input2}) {
            const auto identity = IdentityOf(*input);
            if (identity && identity->SameFileAs(*existing)) {
                failure = {FileCause::sharingViolation, -1};
                return false;
            }
        }
        // An OUTPUT the window could not open for writing (read only, held
        // by another program) is refused here with the same cause, rather
        // than replaced behind its back.
        File probe;
        if (!probe.Open(m_target, File::Mode::WriteExisting, failure)) return false;
    }
    m_writingTemporary = m_temporary.Create(m_target, output, failure);
    return m_writingTemporary;
}

bool SafeOutput::Commit() {
    if (!m_writingTemporary) return true;
    m_writingTemporary = false;
    return CommitUninterrupted([this] { return m_temporary.PutInPlace(m_target); });
}

void SafeOutput::Discard() {
    m_writingTemporary = false;
    m_temporary.Discard();
}

}  // namespace varnel::cli
