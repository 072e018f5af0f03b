// A run's files written safely. The output goes to a new temporary file in
// OUTPUT's folder, which is put in place over OUTPUT only once the run has
// succeeded: a failed, interrupted or killed run leaves an existing OUTPUT
// as it was and no partial file behind (see TemporaryOutput). An OUTPUT that
// is one of the inputs is its client's to refuse, before the output is
// opened: the client knows which input it is, and what its standard streams
// are. The inputs are opened for shared reading, so one file may be both.
#pragma once

#include <string>
#include <vector>

#include "processing/ProcessingRun.h"
#include "safeoutput/TemporaryOutput.h"

namespace varnel::safeoutput {

class SafeOutput final : public RunFiles {
public:
    SafeOutput(std::vector<std::string> inputs, std::string output);
    ~SafeOutput() override;  // a temporary file not put in place is removed
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    bool OpenInput(int number, File& input, FileFailure& failure) override;
    bool OpenOutput(File& output, FileFailure& failure) override;
    // Puts the output in place. On false OUTPUT is as it was and the
    // temporary file is gone.
    bool Commit(FileFailure& failure) override;
    // Removes the temporary file.
    void Discard() override;

    // The name of the file being written: "" before Open, when it is
    // written in place, or while it is an unnamed file.
    const std::string& TemporaryPath() const { return m_temporary.Path(); }

private:
    std::vector<std::string> m_inputs;
    std::string m_output;  // as given
    std::string m_target;  // OUTPUT, its symbolic links followed
    TemporaryOutput m_temporary;
    bool m_writingTemporary = false;
};

// Platform part: OUTPUT with its symbolic links followed, so that the file
// they point to is the one written, as the window would write through them;
// a link that points to no file yet keeps pointing to the new one.
std::string ResolvedOutputPath(const std::string& output);

}  // namespace varnel::safeoutput
