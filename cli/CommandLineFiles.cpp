#include "cli/CommandLineFiles.h"

#include "cli/CommandLine.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::cli {
namespace {

// What a run's file is: "-" stands for a standard stream, which counts
// only when it is a file on disk (a terminal is often both streams).
std::optional<safeoutput::FileIdentity> IdentityOfRunFile(const std::string& path, File::Standard stream) {
    if (path != kStandardStream) return safeoutput::IdentityOf(path);
    const auto identity = safeoutput::IdentityOfStandard(stream);
    if (identity && identity->regular) return identity;
    return std::nullopt;
}

}  // namespace

int InputThatIsOutput(const RunPaths& paths) {
    const auto output = IdentityOfRunFile(paths.output, File::Standard::Output);
    if (!output) return 0;
    for (int input = 1; input <= paths.InputCount(); ++input) {
        const auto identity = IdentityOfRunFile(paths.Input(input), File::Standard::Input);
        if (identity && identity->SameFileAs(*output)) return input;
    }
    return 0;
}

bool CommandLineFiles::OpenInput(int number, File& input, FileFailure& failure) {
    if (m_paths.Input(number) == kStandardStream) {
        return input.OpenStandard(File::Standard::Input, failure);
    }
    return m_safe.OpenInput(number, input, failure);
}

bool CommandLineFiles::OpenOutput(File& output, FileFailure& failure) {
    if (m_paths.output == kStandardStream) {
        // Standard output appended to an input would read back what it
        // writes, as a named OUTPUT that is an input would; refused alike.
        if (InputThatIsOutput(m_paths)) {
            failure = {FileCause::sharingViolation, -1};
            return false;
        }
        return output.OpenStandard(File::Standard::Output, failure);
    }
    return m_safe.OpenOutput(output, failure);
}

}  // namespace varnel::cli
