// A processing run: opens the inputs and the output, sizes the chunks and
// buffers, runs one function, closes everything and then keeps the output
// or drops it. Every failure is reported through the observer as data, in
// the order the user meets them; a successful run reports nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "processing/File.h"
#include "processing/ProcessFunctions.h"
#include "processing/RunObserver.h"

namespace varnel {

// Where a run's files are and what becomes of its output: the one place
// that holds their paths. The run opens input 1, input 2, ... in turn and
// then the output; when it has succeeded and every file is closed, it
// commits the output, and otherwise discards it.
class RunFiles {
public:
    virtual ~RunFiles() = default;
    // How many inputs the run has: two, or for mono and join more.
    virtual int InputCount() const { return 2; }
    // Opens input `number` (1 for the first) for reading. A refusal fills
    // `failure` and leaves the file closed.
    virtual bool OpenInput(int number, File& input, FileFailure& failure) = 0;
    // Once every input is open and accepted.
    virtual bool OpenOutput(File& output, FileFailure& failure) = 0;
    // Makes the closed output OUTPUT. On false OUTPUT is as it was, and
    // `failure` says why.
    virtual bool Commit(FileFailure& failure) = 0;
    // After a failed run: drops what the run wrote, where it can.
    virtual void Discard() = 0;
};

// The window's files: the inputs opened by name, each for exclusive access,
// and the output created, or truncated where it is when it exists. There is
// nothing to commit, nor to discard: a failed run leaves the output as far
// as it came.
class FilesInPlace final : public RunFiles {
public:
    FilesInPlace(std::vector<std::string> inputs, std::string output)
        : m_inputs(std::move(inputs)), m_output(std::move(output)) {}

    int InputCount() const override { return static_cast<int>(m_inputs.size()); }
    bool OpenInput(int number, File& input, FileFailure& failure) override;
    bool OpenOutput(File& output, FileFailure& failure) override;
    bool Commit(FileFailure&) override { return true; }
    void Discard() override {}

private:
    std::vector<std::string> m_inputs;
    std::string m_output;
};

// What surrounds the samples in the files. By default (RawSamples) there
// is nothing: the files hold headerless samples, as the window reads and
// writes them.
class SoundContainer {
public:
    virtual ~SoundContainer() = default;
    // Input `number` is open, as are those before it; the output is not.
    // Reads what it needs of the input and sets `length` to that of its
    // samples. A refusal is returned, and the output is then never created.
    virtual std::optional<RunFailure> AcceptInput(int number, File& input, std::uint64_t& length) = 0;
    // Every input was accepted, with the lengths AcceptInput set: decides
    // the output.
    virtual std::optional<RunFailure> DecideOutput() = 0;
    // Where the function reads the samples of input `number`.
    virtual ByteSource& Samples(int number) = 0;
    // The output has just been opened: returns where the function writes
    // the samples, which puts what goes before them first.
    virtual ByteSink& BeginOutput(File& output) = 0;
    // The function has written `sampleBytes` bytes of samples and succeeded:
    // completes the output, or returns why it could not.
    virtual std::optional<RunFailure> EndOutput(File& output, std::uint64_t sampleBytes) = 0;
};

// Headerless samples in and out.
class RawSamples final : public SoundContainer {
public:
    std::optional<RunFailure> AcceptInput(int number, File& input, std::uint64_t& length) override;
    std::optional<RunFailure> DecideOutput() override { return std::nullopt; }
    ByteSource& Samples(int number) override { return *m_inputs.at(static_cast<std::size_t>(number - 1)); }
    ByteSink& BeginOutput(File& output) override { return output; }
    std::optional<RunFailure> EndOutput(File&, std::uint64_t) override { return std::nullopt; }

private:
    std::vector<File*> m_inputs;
};

// What a run read of one input.
struct InputRead {
    std::uint64_t bytes = 0;                   // delivered during the run
    bool reachedEnd = false;                   // read to its end
    std::optional<std::uint64_t> lengthAfter;  // at the end of the run; nothing when not a file on disk
};

// What a run found of one input, which may differ from its length when it
// was opened: a pipe has none, and a file may change while it is read.
struct InputFound {
    // Its samples' bytes: what was read when the input was read to its end;
    // for a file on disk that was not (the longer input of a merge), its
    // length at the end of the run; for a pipe or a device that was not,
    // what was read, which is then not its length.
    std::uint64_t bytes = 0;
    bool lengthKnown = true;          // false for a pipe or a device not read to its end
    bool lengthChanged = false;       // its length changed during the run
    std::uint64_t unusedSamples = 0;  // whole samples that mono or stereo left unused
};

// What was found of an input whose samples measured `openedBytes` when opened.
InputFound FoundOf(std::uint64_t openedBytes, const InputRead& read);

// The whole samples of an input of `bytes` that `function` leaves unused
// beside another input of `otherBytes` (of many, the shortest other): the longer input's tail in mono and
// stereo, unless padding covers it; none in the joins.
std::uint64_t UnusedSamples(ProcessFunction function, bool pad, std::uint64_t bytes, std::uint64_t otherBytes);

struct RunResult {
    bool succeeded = false;  // nothing was reported
    bool outputCreated = false;
    // Of the inputs' samples, as measured when opened, input N at N - 1;
    // as far as the run came.
    std::vector<std::uint64_t> lengths;
    // Input N at N - 1, once the function has run.
    std::vector<InputFound> inputs;
    std::size_t bufferSamples = 0;
    std::uint64_t outputBytes = 0;
    std::uint64_t clippedSamples = 0;  // mono only
};

RunResult RunProcessing(ProcessFunction function, RunFiles& files, SoundContainer& container,
                        const ProcessingSettings& settings, RunObserver& observer);

// A run of headerless samples.
RunResult RunProcessing(ProcessFunction function, RunFiles& files, const ProcessingSettings& settings,
                        RunObserver& observer);

}  // namespace varnel
