// A processing run: opens the two inputs and the output, sizes the chunks
// and buffers, runs one function and closes everything. Every failure is
// reported through the observer with its fixed text, in the order the user
// meets them; a successful run reports nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "processing/File.h"
#include "processing/ProcessFunctions.h"
#include "processing/RunObserver.h"

namespace varnel {

struct RunRequest {
    std::string soundFile1;
    std::string soundFile2;
    std::string outputFile;
    ProcessFunction function = ProcessFunction::None;
};

// What a run found of one input, which may differ from its length when it
// was opened: a pipe has none, and a file may change while it is read.
struct InputRead {
    std::uint64_t bytes = 0;                   // delivered during the run
    bool reachedEnd = false;                   // read to its end
    std::optional<std::uint64_t> lengthAfter;  // at the end of the run; nothing when not a file on disk
};

struct RunResult {
    bool succeeded = false;  // nothing was reported
    bool outputCreated = false;
    InputLengths lengths;  // as measured when opened, before rounding
    InputRead read1;
    InputRead read2;
    std::size_t bufferSamples = 0;
    std::uint64_t outputBytes = 0;
    std::uint64_t clippedSamples = 0;
};

// How a run opens its files. Without one, the run opens the inputs by name
// and creates the output file, or truncates it when it exists; the command
// line also reads standard input and writes standard output, and writes a
// file to a new temporary file put in place only once the run has succeeded.
// A refusal fills `failure`, whose cause picks the messages the user sees,
// and leaves the file closed.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    virtual bool OpenInput(const std::string& inputFile, File& input, File::Mode mode, FileFailure& failure) {
        return input.Open(inputFile, mode, failure);
    }
    // Once both inputs are open.
    virtual bool OpenOutput(const std::string& outputFile, File& output, FileFailure& failure) = 0;
};

// What surrounds the samples in the files. Without one, a run reads and
// writes headerless samples, as the window does; the command line also
// reads and writes WAV files.
class SoundContainer {
public:
    virtual ~SoundContainer() = default;
    // Both inputs are open, the output is not. Reads what it needs of the
    // inputs and sets `lengths` to those of their samples. False refuses the
    // run, having said why: the output is then never created.
    virtual bool OpenInputs(File& input1, File& input2, InputLengths& lengths, RunObserver& observer) = 0;
    // Where the function reads the samples of input 1 or 2.
    virtual ByteSource& Samples(int input) = 0;
    // The output has just been opened: returns where the function writes
    // the samples, which puts what goes before them first.
    virtual ByteSink& BeginOutput(File& output) = 0;
    // The function has written `sampleBytes` bytes of samples and succeeded:
    // completes the output. False fails the write, having said why or with
    // the failure in the output's LastFailure.
    virtual bool EndOutput(File& output, std::uint64_t sampleBytes, RunObserver& observer) = 0;
};

RunResult RunProcessing(const RunRequest& request, const ProcessingSettings& settings, RunObserver& observer,
                        FileOpener* opener = nullptr, SoundContainer* container = nullptr);

}  // namespace varnel
