#include "SafeOutput.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <utility>

#include "FileIdentity.h"
#include "Interrupt.h"

namespace varnel::cli {
namespace {

// A name of our own in OUTPUT's folder, hidden on POSIX and unlikely ever to
// be taken: 64 random bits. It is created with CreateNew, so a name that is
// taken after all is refused rather than overwritten.
std::string TemporaryPathBeside(const std::string& target) {
    const auto slash = target.find_last_of(
#ifdef _WIN32
        "/\\:"
#else
        "/"
#endif
    );
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(),
                       static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
    std::mt19937_64 random(seed);
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(random()));
    return folder + "." + name + "." + tag + ".varnel-tmp";
}

}  // namespace

SafeOutput::SafeOutput(std::string input1, std::string input2)
    : m_input1(std::move(input1)), m_input2(std::move(input2)) {}

SafeOutput::~SafeOutput() { Discard(); }

bool SafeOutput::Open(const std::string& outputFile, File& output, FileFailure& failure) {
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
    m_temporary = TemporaryPathBeside(m_target);
    RemoveOnInterrupt(m_temporary);
    if (!output.Open(m_temporary, File::Mode::CreateNew, failure)) {
        RemoveOnInterrupt({});
        m_temporary.clear();
        return false;
    }
    return true;
}

bool SafeOutput::Commit() {
    if (m_temporary.empty()) return true;
    const bool replaced = CommitUninterrupted([this] { return ReplaceWith(m_temporary, m_target); });
    if (!replaced) std::remove(m_temporary.c_str());
    m_temporary.clear();
    return replaced;
}

void SafeOutput::Discard() {
    if (m_temporary.empty()) return;
    std::remove(m_temporary.c_str());
    RemoveOnInterrupt({});
    m_temporary.clear();
}

}  // namespace varnel::cli
