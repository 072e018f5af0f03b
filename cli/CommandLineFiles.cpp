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
    if (m_paths.output == kStandardStream) return output.OpenStandard(File::Standard::Output, failure);
    return m_safe.OpenOutput(output, failure);
}

}  // namespace varnel::cli
