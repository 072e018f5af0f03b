// A run's files as the command line names them: "-" is standard input (as
// an input) or standard output (as OUTPUT), written as the run goes, with
// nothing to put in place; every other file goes through the safe output.
#pragma once

#include "cli/Failures.h"
#include "processing/ProcessingRun.h"
#include "safeoutput/SafeOutput.h"

namespace varnel::cli {

class CommandLineFiles final : public RunFiles {
public:
    // `paths` with what was found of them before the run.
    explicit CommandLineFiles(const RunPaths& paths) : m_paths(paths), m_safe(paths.inputs, paths.output) {}

    int InputCount() const override { return m_paths.InputCount(); }
    bool OpenInput(int number, File& input, FileFailure& failure) override;
    bool OpenOutput(File& output, FileFailure& failure) override;
    bool Commit(FileFailure& failure) override { return m_safe.Commit(failure); }
    void Discard() override { m_safe.Discard(); }

private:
    const RunPaths& m_paths;
    safeoutput::SafeOutput m_safe;
};

}  // namespace varnel::cli
