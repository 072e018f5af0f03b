#include "processing/ProcessingRun.h"

#include <algorithm>
#include <array>
#include <memory>

namespace varnel {
namespace {

// The functions take two inputs.
constexpr int kInputs = 2;

// Where input `number` (1 for the first) is kept.
std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }

std::uint64_t RoundedUpToEven(std::uint64_t length) { return length + (length & 1); }

// The failure of a function that did not complete, with the file it concerns.
RunFailure FunctionFailure(FunctionOutcome outcome, const File& input1, const File& input2, const File& output) {
    switch (outcome) {
    case FunctionOutcome::ReadingInput1Failed:
        return FileProblem{RunFile::Input(1), FileAction::Read, input1.LastFailure()};
    case FunctionOutcome::ReadingInput2Failed:
        return FileProblem{RunFile::Input(2), FileAction::Read, input2.LastFailure()};
    case FunctionOutcome::StereoBufferRefused: return BufferRefused{3};
    case FunctionOutcome::WritingOutputFailed:
    case FunctionOutcome::Completed: break;
    }
    return FileProblem{RunFile::Output(), FileAction::Write, output.LastFailure()};
}

// Counts what an input delivers, so that a run can tell what it read. The
// samples may sit behind a header (`aroundBytes` of the file are not
// samples): the length the file has afterwards is told in samples' bytes.
class CountingSource final : public ByteSource {
public:
    CountingSource(ByteSource& samples, const File& file, std::uint64_t aroundBytes)
        : m_samples(samples), m_file(file), m_around(aroundBytes) {}
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
        const auto got = m_samples.Read(buffer, size);
        if (got) {
            m_read.bytes += *got;
            m_read.reachedEnd = m_read.reachedEnd || *got < size;
        }
        return got;
    }
    std::optional<std::size_t> CopyTo(ByteSink& sink, std::size_t size) override {
        const auto moved = m_samples.CopyTo(sink, size);
        if (moved) {
            m_read.bytes += *moved;
            m_read.reachedEnd = m_read.reachedEnd || *moved == 0;
        }
        return moved;
    }
    InputRead Found() const {
        InputRead found = m_read;
        const auto length = m_file.IsDiskFile() ? m_file.Length() : std::nullopt;
        if (length) found.lengthAfter = *length > m_around ? *length - m_around : 0;
        return found;
    }

private:
    ByteSource& m_samples;
    const File& m_file;
    std::uint64_t m_around;
    InputRead m_read;
};

using SampleBuffer = std::unique_ptr<std::uint8_t, void (*)(void*)>;

SampleBuffer TakeBuffer(std::size_t bytes, const ProcessingSettings& settings) {
    return {static_cast<std::uint8_t*>(settings.allocate(bytes)), settings.release};
}

// Discards the output unless the run committed it, however the run ends.
class OutputDecision {
public:
    explicit OutputDecision(RunFiles& files) : m_files(files) {}
    ~OutputDecision() {
        if (!m_committed) m_files.Discard();
    }
    OutputDecision(const OutputDecision&) = delete;
    OutputDecision& operator=(const OutputDecision&) = delete;

    bool Commit(FileFailure& failure) {
        m_committed = m_files.Commit(failure);
        return m_committed;
    }

private:
    RunFiles& m_files;
    bool m_committed = false;
};

}  // namespace

bool FilesInPlace::OpenInput(int number, File& input, FileFailure& failure) {
    return input.Open(m_inputs.at(Slot(number)), File::Mode::Read, failure);
}

bool FilesInPlace::OpenOutput(File& output, FileFailure& failure) {
    return output.Open(m_output, File::Mode::CreateWrite, failure);
}

std::optional<RunFailure> RawSamples::AcceptInput(int number, File& input, std::uint64_t&) {
    if (m_inputs.size() <= Slot(number)) m_inputs.resize(Slot(number) + 1);
    m_inputs[Slot(number)] = &input;
    return std::nullopt;
}

InputFound FoundOf(std::uint64_t openedBytes, const InputRead& read) {
    InputFound found;
    found.bytes = read.bytes;
    if (!read.reachedEnd) {
        if (read.lengthAfter) {
            found.bytes = std::max(read.bytes, *read.lengthAfter);
        } else {
            found.lengthKnown = false;
        }
    }
    found.lengthChanged = read.lengthAfter && (*read.lengthAfter != openedBytes || found.bytes != openedBytes);
    return found;
}

std::uint64_t UnusedSamples(ProcessFunction function, bool pad, std::uint64_t bytes, std::uint64_t otherBytes) {
    const bool merge = function == ProcessFunction::Mono || function == ProcessFunction::Stereo;
    if (!merge || pad) return 0;
    const std::uint64_t mine = bytes / kBytesPerSample, other = otherBytes / kBytesPerSample;
    return mine > other ? mine - other : 0;
}

RunResult RunProcessing(ProcessFunction function, RunFiles& files, SoundContainer& container,
                        const ProcessingSettings& settings, RunObserver& observer) {
    RunResult result;
    OutputDecision decision(files);
    std::array<File, kInputs> inputs;
    File output;
    const auto fail = [&](const RunFailure& failure) {
        observer.ReportFailure(failure);
        return result;
    };

    std::array<std::uint64_t, kInputs> fileLengths{};
    for (int number = 1; number <= kInputs; ++number) {
        File& input = inputs[Slot(number)];
        FileFailure failure;
        std::optional<std::uint64_t> length;
        if (files.OpenInput(number, input, failure)) {
            length = input.Length();  // pipes and devices measure 0
            if (!length) failure = {FileCause::generic, -1};
        }
        if (!length) return fail(FileProblem{RunFile::Input(number), FileAction::Open, failure});
        fileLengths[Slot(number)] = *length;
    }
    result.lengths = {fileLengths[0], fileLengths[1]};
    for (int number = 1; number <= kInputs; ++number) {
        std::uint64_t& length = number == 1 ? result.lengths.input1 : result.lengths.input2;
        if (auto refusal = container.AcceptInput(number, inputs[Slot(number)], length)) return fail(*refusal);
    }
    if (auto refusal = container.DecideOutput(result.lengths)) return fail(*refusal);

    FileFailure openFailure;
    if (!files.OpenOutput(output, openFailure)) {
        return fail(FileProblem{RunFile::Output(), FileAction::Open, openFailure});
    }
    result.outputCreated = true;
    ByteSink& sink = container.BeginOutput(output);

    // Chunks are sized by the samples, whatever header stands before them.
    result.bufferSamples =
        settings.chunks.SamplesFor(RoundedUpToEven(result.lengths.input1), RoundedUpToEven(result.lengths.input2));
    const std::size_t bufferBytes = result.bufferSamples * kBytesPerSample;
    const SampleBuffer buffer1 = TakeBuffer(bufferBytes, settings);
    if (!buffer1) return fail(BufferRefused{1});
    const SampleBuffer buffer2 = TakeBuffer(bufferBytes, settings);
    if (!buffer2) return fail(BufferRefused{2});

    if (!inputs[0].IsDiskFile() || !inputs[1].IsDiskFile()) observer.TotalUnknown();
    CountingSource counted1(container.Samples(1), inputs[0],
                            fileLengths[0] - std::min(fileLengths[0], result.lengths.input1));
    CountingSource counted2(container.Samples(2), inputs[1],
                            fileLengths[1] - std::min(fileLengths[1], result.lengths.input2));
    const FunctionResult done =
        RunFunction(function, {counted1, counted2, sink}, {buffer1.get(), buffer2.get(), result.bufferSamples},
                    result.lengths, settings, observer);
    const InputFound found1 = FoundOf(result.lengths.input1, counted1.Found());
    const InputFound found2 = FoundOf(result.lengths.input2, counted2.Found());
    result.inputs = {found1, found2};
    const bool pad = settings.padShorterInput;
    result.inputs[0].unusedSamples = UnusedSamples(function, pad, found1.bytes, found2.bytes);
    result.inputs[1].unusedSamples = UnusedSamples(function, pad, found2.bytes, found1.bytes);
    result.outputBytes = done.outputBytes;
    result.clippedSamples = done.clippedSamples;
    std::optional<RunFailure> failure;
    if (done.outcome != FunctionOutcome::Completed) {
        failure = FunctionFailure(done.outcome, inputs[0], inputs[1], output);
    } else {
        failure = container.EndOutput(output, done.outputBytes);
    }

    for (File& input : inputs) input.Close();
    const bool outputStored = output.Close();
    if (failure) return fail(*failure);
    if (!outputStored) return fail(FileProblem{RunFile::Output(), FileAction::Write, output.LastFailure()});
    FileFailure commitFailure;
    if (!decision.Commit(commitFailure)) {
        return fail(FileProblem{RunFile::Output(), FileAction::Write, commitFailure});
    }
    result.succeeded = true;
    return result;
}

RunResult RunProcessing(ProcessFunction function, RunFiles& files, const ProcessingSettings& settings,
                        RunObserver& observer) {
    RawSamples raw;
    return RunProcessing(function, files, raw, settings, observer);
}

}  // namespace varnel
