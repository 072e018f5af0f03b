#include "safeoutput/SafeOutput.h"

#include <utility>

#include "safeoutput/FileIdentity.h"
#include "safeoutput/Interrupt.h"

namespace varnel::safeoutput {

SafeOutput::SafeOutput(std::vector<std::string> inputs, std::string output)
    : m_inputs(std::move(inputs)), m_output(std::move(output)) {}

SafeOutput::~SafeOutput() { Discard(); }

bool SafeOutput::OpenInput(int number, File& input, FileFailure& failure) {
    return input.Open(m_inputs.at(static_cast<std::size_t>(number - 1)), File::Mode::ReadShared, failure);
}

bool SafeOutput::OpenOutput(File& output, FileFailure& failure) {
    // No name, no folder to write beside: refused by the open as in the window.
    if (m_output.empty()) return output.Open(m_output, File::Mode::CreateWrite, failure);
    m_target = ResolvedOutputPath(m_output);
    if (const auto existing = IdentityOf(m_target)) {
        // Devices, pipes and folders are opened as the window opens them:
        // there is no content to keep, and a folder is refused by the open.
        if (!existing->regular) return output.Open(m_target, File::Mode::CreateWrite, failure);
        // An OUTPUT the window could not open for writing (read only, held
        // by another program) is refused here with the same cause, rather
        // than replaced behind its back.
        File probe;
        if (!probe.Open(m_target, File::Mode::WriteExisting, failure)) return false;
    }
    m_writingTemporary = m_temporary.Create(m_target, output, failure);
    return m_writingTemporary;
}

bool SafeOutput::Commit(FileFailure& failure) {
    if (!m_writingTemporary) return true;
    m_writingTemporary = false;
    return CommitUninterrupted([&] { return m_temporary.PutInPlace(m_target, failure); });
}

void SafeOutput::Discard() {
    m_writingTemporary = false;
    m_temporary.Discard();
}

}  // namespace varnel::safeoutput
