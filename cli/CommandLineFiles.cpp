#include "cli/CommandLineFiles.h"

#include "cli/CommandLine.h"

namespace varnel::cli {

bool CommandLineFiles::OpenInput(int number, File& input, FileFailure& failure) {
    if (m_paths.Input(number) == kStandardStream) {
        return input.OpenStandard(File::Standard::Input, failure);
    }
    return m_safe.OpenInput(number, input, failure);
}

bool CommandLineFiles::OpenOutput(File& output, FileFailure& failure) {
    // An OUTPUT that is an input, however each is named (standard output
    // appended to an input too), is refused as the window refuses a file
    // it holds, before anything is written.
    if (m_paths.found.inputThatIsOutput) {
        failure = {FileCause::sharingViolation, -1};
        return false;
    }
    if (m_paths.output == kStandardStream) return output.OpenStandard(File::Standard::Output, failure);
    return m_safe.OpenOutput(output, failure);
}

}  // namespace varnel::cli
