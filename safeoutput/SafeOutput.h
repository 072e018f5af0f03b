// Opens a run's files for the command line, where "-" names standard input
// or output, and writes a run's output safely. The output goes to a new
// temporary file in OUTPUT's folder, which is put in place over OUTPUT only
// once the run has succeeded: a failed, interrupted or killed run leaves an existing OUTPUT
// as it was and no partial file behind (see TemporaryOutput). An OUTPUT that
// is one of the inputs, however its path is spelled, is refused as the
// window refuses it (a sharing violation) before anything is touched.
#pragma once

#include <string>

#include "safeoutput/TemporaryOutput.h"
#include "processing/ProcessingRun.h"

namespace varnel::cli {

class SafeOutput final : public FileOpener {
public:
    SafeOutput(std::string input1, std::string input2);
    ~SafeOutput() override;  // a temporary file not put in place is removed
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // INPUT "-" is standard input.
    bool OpenInput(const std::string& inputFile, File& input, File::Mode mode, FileFailure& failure) override;
    // Called by the run once both inputs are open. OUTPUT "-" is standard
    // output, written as it goes: there is nothing to put in place.
    bool OpenOutput(const std::string& outputFile, File& output, FileFailure& failure) override;
    // After a successful run: puts the output in place. On false OUTPUT is
    // as it was and the temporary file is gone.
    bool Commit();
    // After a failed run: removes the temporary file.
    void Discard();

    // The name of the file being written: "" before Open, when it is
    // written in place, or while it is an unnamed file.
    const std::string& TemporaryPath() const { return m_temporary.Path(); }

private:
    std::string m_input1;
    std::string m_input2;
    std::string m_target;  // OUTPUT, its symbolic links followed
    TemporaryOutput m_temporary;
    bool m_writingTemporary = false;
};

// Platform part: OUTPUT with its symbolic links followed, so that the file
// they point to is the one written, as the window would write through them;
// a link that points to no file yet keeps pointing to the new one.
std::string ResolvedOutputPath(const std::string& output);

}  // namespace varnel::cli
