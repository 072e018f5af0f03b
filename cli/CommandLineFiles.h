// A run's files as the command line names them: "-" is standard input (as
// an input) or standard output (as OUTPUT), written as the run goes, with
// nothing to put in place; every other file goes through the safe output.
#pragma once

#include "cli/Failures.h"
#include "processing/ProcessingRun.h"
#include "safeoutput/SafeOutput.h"

namespace varnel::cli {

// The input (1 for the first) that is the very file OUTPUT is, however
// each is named: standard input and output too, when they are files on
// disk; 0 when none is.
int InputThatIsOutput(const RunPaths& paths);

class CommandLineFiles final : public RunFiles {
public:
    explicit CommandLineFiles(const RunPaths& paths) : m_paths(paths), m_safe(AllInputs(paths), paths.output) {}

    int InputCount() const override { return m_paths.InputCount(); }
    bool OpenInput(int number, File& input, FileFailure& failure) override;
    bool OpenOutput(File& output, FileFailure& failure) override;
    bool Commit(FileFailure& failure) override { return m_safe.Commit(failure); }
    void Discard() override { m_safe.Discard(); }

private:
    static std::vector<std::string> AllInputs(const RunPaths& paths) {
        if (!paths.inputs.empty()) return paths.inputs;
        return {paths.input1, paths.input2};
    }

    const RunPaths& m_paths;
    safeoutput::SafeOutput m_safe;
};

}  // namespace varnel::cli
