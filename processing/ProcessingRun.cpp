#include "processing/ProcessingRun.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace varnel {
namespace {

// The window's functions take two inputs; mono and join may take more.
constexpr int kInputs = 2;

// Where input `number` (1 for the first) is kept.
std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }

std::uint64_t RoundedUpToEven(std::uint64_t length) { return length + (length & 1); }

// The failure of a function that did not complete, with the file it concerns.
RunFailure FunctionFailure(const FunctionResult& done, const std::vector<File>& inputs, const File& output) {
    const auto readFailure = [&](int number) -> RunFailure {
        return FileProblem{RunFile::Input(number), FileAction::Read, inputs.at(Slot(number)).LastFailure()};
    };
    switch (done.outcome) {
    case FunctionOutcome::ReadingInputFailed: return readFailure(done.failedInput);
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
    // Only a read concludes that the input ended: a copy that moved nothing
    // may stand before its end.
    Copied CopyTo(ByteSink& sink, std::size_t size) override {
        const Copied copied = m_samples.CopyTo(sink, size);
        m_read.bytes += copied.bytes;
        return copied;
    }
    std::size_t PageOffset() const override { return m_samples.PageOffset(); }
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

// The samples in `bytes` rounded up to whole 4 KiB pages; at least one page.
std::size_t SamplesToWholePages(std::uint64_t bytes) {
    constexpr std::uint64_t kPage = kPageBytes;
    const std::uint64_t pages = std::max<std::uint64_t>(1, (bytes + kPage - 1) / kPage);
    return static_cast<std::size_t>(std::min<std::uint64_t>(pages * kPage, SIZE_MAX) / kBytesPerSample);
}

// `bytes` placed `offset` bytes into their first page.
SampleBuffer TakeBuffer(std::size_t bytes, std::size_t offset, const ProcessingSettings& settings) {
    return {static_cast<std::uint8_t*>(settings.allocate(offset + bytes)), settings.release};
}

// Where in a page each buffer starts (BufferPageOffset): each takes an
// input's bytes, and mono's first and the joins' give them to the output,
// a join's second part after the first part's bytes.
struct BufferPlaces {
    std::size_t buffer1 = 0;
    std::size_t buffer2 = 0;
};

BufferPlaces PlaceBuffers(ProcessFunction function, SoundContainer& container, const ByteSink& output,
                          const std::vector<std::uint64_t>& lengths) {
    const bool many = lengths.size() > static_cast<std::size_t>(kInputs);
    const std::size_t from1 = container.Samples(1).PageOffset();
    const std::size_t from2 = many ? 0 : container.Samples(2).PageOffset();
    const std::size_t to = output.PageOffset();
    switch (function) {
    case ProcessFunction::Mono: return {BufferPageOffset(from1, to), BufferPageOffset(from2)};
    case ProcessFunction::Join1To2:
        return {BufferPageOffset(from1, to), BufferPageOffset(from2, to + lengths[0] % kPageBytes)};
    case ProcessFunction::Join2To1:
        return {BufferPageOffset(from1, to + lengths[1] % kPageBytes), BufferPageOffset(from2, to)};
    case ProcessFunction::Stereo:
    case ProcessFunction::None: break;
    }
    return {BufferPageOffset(from1), BufferPageOffset(from2)};
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

// Runs `function` on the inputs, counted as they are read, and records
// what was found of each; returns how the function ended.
FunctionResult RunOnInputs(ProcessFunction function, std::vector<File>& inputs, SoundContainer& container,
                           ByteSink& sink, const std::vector<std::uint64_t>& fileLengths,
                           const FunctionBuffers& buffers, const ProcessingSettings& settings, RunObserver& observer,
                           RunResult& result) {
    const std::size_t count = inputs.size();
    if (std::any_of(inputs.begin(), inputs.end(), [](const File& input) { return !input.IsDiskFile(); }))
        observer.TotalUnknown();
    std::vector<std::unique_ptr<CountingSource>> counted;
    for (std::size_t slot = 0; slot < count; ++slot) {
        const std::uint64_t around = fileLengths[slot] - std::min(fileLengths[slot], result.lengths[slot]);
        counted.push_back(
            std::make_unique<CountingSource>(container.Samples(static_cast<int>(slot + 1)), inputs[slot], around));
    }

    std::vector<ByteSource*> sources;
    for (const auto& source : counted) sources.push_back(source.get());
    const FunctionResult done = RunFunction(function, {sources, result.lengths}, sink, buffers, settings, observer);

    for (std::size_t slot = 0; slot < count; ++slot)
        result.inputs.push_back(FoundOf(result.lengths[slot], counted[slot]->Found()));
    for (std::size_t slot = 0; slot < count; ++slot) {
        std::uint64_t shortestOther = UINT64_MAX;
        for (std::size_t other = 0; other < count; ++other)
            if (other != slot) shortestOther = std::min(shortestOther, result.inputs[other].bytes);
        result.inputs[slot].unusedSamples =
            UnusedSamples(function, settings.padShorterInput, result.inputs[slot].bytes, shortestOther);
    }
    return done;
}

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
    // Measured, not counted: a count that differs from an unchanged length
    // is a file of the kernel's whose size is no length (procfs, sysfs).
    found.lengthChanged = read.lengthAfter && *read.lengthAfter != openedBytes;
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
    const int count = std::max(files.InputCount(), kInputs);
    std::vector<File> inputs(static_cast<std::size_t>(count));
    File output;
    const auto fail = [&](const RunFailure& failure) {
        observer.ReportFailure(failure);
        return result;
    };

    std::vector<std::uint64_t> fileLengths(static_cast<std::size_t>(count));
    for (int number = 1; number <= count; ++number) {
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
    result.lengths = fileLengths;
    for (int number = 1; number <= count; ++number) {
        std::uint64_t& length = result.lengths[Slot(number)];
        if (auto refusal = container.AcceptInput(number, inputs[Slot(number)], length)) return fail(*refusal);
    }
    if (auto refusal = container.DecideOutput()) return fail(*refusal);

    FileFailure openFailure;
    if (!files.OpenOutput(output, openFailure)) {
        return fail(FileProblem{RunFile::Output(), FileAction::Open, openFailure});
    }
    result.outputCreated = true;
    ByteSink& sink = container.BeginOutput(output);

    // Chunks are sized by the samples, whatever header stands before them.
    const bool many = count > kInputs;
    std::uint64_t longest = 0;
    for (const std::uint64_t length : result.lengths) longest = std::max(longest, RoundedUpToEven(length));
    result.bufferSamples = settings.chunks.SamplesFor(longest);
    // Files shorter than a chunk get buffers no longer than they need (to a
    // page), so that a run on small files maps no memory it never fills.
    // Not with a pipe or a device, whose length says nothing.
    if (std::all_of(inputs.begin(), inputs.end(), [](const File& input) { return input.IsDiskFile(); }))
        result.bufferSamples = std::min(result.bufferSamples, SamplesToWholePages(longest));
    const std::size_t bufferBytes = result.bufferSamples * kBytesPerSample;
    const BufferPlaces places = PlaceBuffers(function, container, sink, result.lengths);
    // Every buffer of the run is taken here, where a refusal is reported:
    // past two inputs the second holds mono's sums, and a join needs none.
    const bool join = function == ProcessFunction::Join1To2 || function == ProcessFunction::Join2To1;
    const std::size_t buffer2Bytes = !many ? bufferBytes : join ? 0 : result.bufferSamples * kBytesPerSum;
    const SampleBuffer buffer1 = TakeBuffer(bufferBytes, places.buffer1, settings);
    if (!buffer1) return fail(BufferRefused{1});
    const SampleBuffer buffer2 = buffer2Bytes == 0 ? SampleBuffer(nullptr, settings.release)
                                                   : TakeBuffer(buffer2Bytes, many ? 0 : places.buffer2, settings);
    if (buffer2Bytes != 0 && !buffer2) return fail(BufferRefused{2});
    const FunctionBuffers buffers{buffer1.get() + places.buffer1,
                                  buffer2 ? buffer2.get() + (many ? 0 : places.buffer2) : nullptr,
                                  result.bufferSamples};
    if (!join || settings.directCopyBytes == 0) {
        MapPagesNow(buffers.buffer1, bufferBytes);
        if (buffers.buffer2) MapPagesNow(buffers.buffer2, buffer2Bytes);
    }

    const FunctionResult done =
        RunOnInputs(function, inputs, container, sink, fileLengths, buffers, settings, observer, result);
    result.outputBytes = done.outputBytes;
    result.clippedSamples = done.clippedSamples;
    std::optional<RunFailure> failure;
    if (done.outcome != FunctionOutcome::Completed) {
        failure = FunctionFailure(done, inputs, output);
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
