#include "processing/ProcessFunctions.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "processing/SampleKernels.h"

namespace varnel {
namespace {

// The wait cursor for the whole function; at its end the progress bar goes
// back to 0 and then the cursor is restored, whatever the outcome.
class FunctionScope {
public:
    FunctionScope(std::uint64_t totalBytes, const ProcessingSettings& settings, RunObserver& observer)
        : m_total(totalBytes), m_settings(settings), m_observer(observer) {
        m_observer.BeginWait();
    }
    ~FunctionScope() {
        m_observer.ResetProgress();
        m_observer.EndWait();
    }
    FunctionScope(const FunctionScope&) = delete;
    FunctionScope& operator=(const FunctionScope&) = delete;

    void ChunkDone(std::uint64_t consumedBytes) {
        m_done += consumedBytes;
        m_observer.ShowProgress(m_done, m_total);
        if (m_settings.pauseAfterChunk.count() > 0) std::this_thread::sleep_for(m_settings.pauseAfterChunk);
    }

private:
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    const ProcessingSettings& m_settings;
    RunObserver& m_observer;
};

std::size_t ChunkBytes(const FunctionBuffers& buffers) { return buffers.bufferSamples * kBytesPerSample; }

// Silence in place of the samples an input did not deliver, from its last
// whole sample (an odd trailing byte is dropped) up to `samples`.
void PadWithSilence(std::uint8_t* buffer, std::size_t gotBytes, std::size_t samples) {
    const std::size_t wholeBytes = gotBytes / kBytesPerSample * kBytesPerSample;
    const std::size_t neededBytes = samples * kBytesPerSample;
    if (wholeBytes < neededBytes) std::fill(buffer + wholeBytes, buffer + neededBytes, std::uint8_t{0});
}

// Where input `index` (0 for the first) reads its chunks: of two inputs,
// each its own buffer; past two, the first, in turn.
std::uint8_t* ChunkBuffer(const FunctionInputs& inputs, const FunctionBuffers& buffers, std::size_t index) {
    return inputs.sources.size() == 2 && index == 1 ? buffers.buffer2 : buffers.buffer1;
}

// Mono and stereo stop at the shortest input's last whole sample, or with
// padding at the longest one's.
std::uint64_t CoveredBytes(std::span<const std::uint64_t> lengths, bool pad) {
    if (lengths.empty()) return 0;
    const auto covered =
        pad ? *std::max_element(lengths.begin(), lengths.end()) : *std::min_element(lengths.begin(), lengths.end());
    return covered / kBytesPerSample * kBytesPerSample;
}

// A join writes every byte of every input.
std::uint64_t JoinedBytes(std::span<const std::uint64_t> lengths) {
    std::uint64_t total = 0;
    for (const std::uint64_t length : lengths) total += length;
    return total;
}

// Reads the next chunk of each input in turn; an input is read only after
// the one before delivered data, unless padding. Past two inputs each chunk
// is added to `sums` once read, so that memory stays the same however many
// inputs there are. Returns the whole samples that every input delivered,
// 0 at the end of any or on a failure, which goes to `result`. An odd
// trailing byte is never used. When padding, every input is read to its end
// and the whole samples of the longest are returned, the shorter ones'
// missing samples taken as silence.
std::size_t ReadChunks(const FunctionInputs& inputs, const FunctionBuffers& buffers, bool pad,
                       std::span<std::int64_t> sums, FunctionResult& result) {
    const std::size_t chunkBytes = ChunkBytes(buffers);
    std::size_t samples = pad ? 0 : buffers.bufferSamples;
    std::size_t delivered[2] = {};  // of two inputs, padded with silence below
    std::fill(sums.begin(), sums.end(), std::int64_t{0});
    for (std::size_t index = 0; index < inputs.sources.size(); ++index) {
        std::uint8_t* const buffer = ChunkBuffer(inputs, buffers, index);
        const auto got = inputs.sources[index]->Read(buffer, chunkBytes);
        if (!got) {
            result.outcome = FunctionOutcome::ReadingInputFailed;
            result.failedInput = static_cast<int>(index + 1);
            return 0;
        }
        const std::size_t whole = *got / kBytesPerSample;
        samples = pad ? std::max(samples, whole) : std::min(samples, whole);
        if (sums.empty()) {
            delivered[index] = *got;
        } else {
            AddToSums(buffer, sums.data(), whole);
        }
        if (*got == 0 && !pad) return 0;
    }
    if (pad && sums.empty()) {
        for (std::size_t index = 0; index < inputs.sources.size(); ++index)
            PadWithSilence(ChunkBuffer(inputs, buffers, index), delivered[index], samples);
    }
    return samples;
}

// Two inputs are mixed from their own buffers; more from their sums.
FunctionResult Mono(const FunctionInputs& inputs, ByteSink& output, const FunctionBuffers& buffers,
                    const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(CoveredBytes(inputs.lengths, settings.padShorterInput), settings, observer);
    FunctionResult result;
    const std::size_t count = inputs.sources.size();
    const std::span<std::int64_t> sums =
        count == 2 ? std::span<std::int64_t>{}
                   : std::span(reinterpret_cast<std::int64_t*>(buffers.buffer2), buffers.bufferSamples);
    std::uint8_t* const mixed = buffers.buffer1;
    while (const std::size_t samples = ReadChunks(inputs, buffers, settings.padShorterInput, sums, result)) {
        if (!sums.empty() && settings.averageMono) {
            StoreMeans(sums.data(), static_cast<std::int64_t>(count), mixed, samples);
        } else if (!sums.empty()) {
            result.clippedSamples += StoreClippedSums(sums.data(), mixed, samples);
        } else if (settings.averageMono) {
            MixAveraged(buffers.buffer1, buffers.buffer2, mixed, samples);
        } else {
            result.clippedSamples += MixWithClipping(buffers.buffer1, buffers.buffer2, mixed, samples);
        }
        const std::size_t bytes = samples * kBytesPerSample;
        if (!output.Write(mixed, bytes)) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
            break;
        }
        result.outputBytes += bytes;
        scope.ChunkDone(bytes);
    }
    return result;
}

FunctionResult Stereo(const FunctionInputs& inputs, ByteSink& output, const FunctionBuffers& buffers,
                      const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(CoveredBytes(inputs.lengths, settings.padShorterInput), settings, observer);
    FunctionResult result;
    const std::size_t framesBytes = buffers.bufferSamples * kBytesPerStereoFrame;
    const std::size_t place = BufferPageOffset(output.PageOffset());
    const std::unique_ptr<std::uint8_t, void (*)(void*)> taken(
        static_cast<std::uint8_t*>(settings.allocate(place + framesBytes)), settings.release);
    if (!taken) {
        result.outcome = FunctionOutcome::StereoBufferRefused;
        return result;
    }
    std::uint8_t* const frames = taken.get() + place;
    MapPagesNow(frames, framesBytes);
    while (const std::size_t samples = ReadChunks(inputs, buffers, settings.padShorterInput, {}, result)) {
        Interleave(buffers.buffer1, buffers.buffer2, frames, samples);
        if (!output.Write(frames, samples * kBytesPerStereoFrame)) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
            break;
        }
        result.outputBytes += samples * kBytesPerStereoFrame;
        scope.ChunkDone(samples * kBytesPerSample);
    }
    return result;
}

// How the copy of one input to the output ended.
enum class CopyEnd { Completed, ReadFailed, WriteFailed };

// Copies one input to the output: whole chunks, an odd final byte included,
// or where the settings and both ends allow it, pieces that the system
// moves from file to file.
CopyEnd CopyWhole(ByteSource& source, std::uint8_t* buffer, std::size_t chunkBytes, ByteSink& output,
                  const ProcessingSettings& settings, FunctionScope& scope, FunctionResult& result) {
    bool direct = settings.directCopyBytes > 0;
    while (true) {
        if (direct) {
            const Copied copied = source.CopyTo(output, settings.directCopyBytes);
            if (copied.outcome == Copied::Outcome::ReadFailed) return CopyEnd::ReadFailed;
            if (copied.outcome == Copied::Outcome::WriteFailed) return CopyEnd::WriteFailed;
            if (copied.bytes > 0) {
                result.outputBytes += copied.bytes;
                scope.ChunkDone(copied.bytes);
                continue;
            }
            // The buffers take over from where the copy stands. The end a
            // copy reports is confirmed by a read: Linux has answered a copy
            // from procfs or sysfs with 0 bytes before their end.
            direct = false;
        }
        const auto got = source.Read(buffer, chunkBytes);
        if (!got) return CopyEnd::ReadFailed;
        if (*got == 0) return CopyEnd::Completed;
        if (!output.Write(buffer, *got)) return CopyEnd::WriteFailed;
        result.outputBytes += *got;
        scope.ChunkDone(*got);
    }
}

// Copies the inputs one after the other, in the order given or, with
// `reversed`, in the other.
FunctionResult Join(const FunctionInputs& inputs, bool reversed, ByteSink& output, const FunctionBuffers& buffers,
                    const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(JoinedBytes(inputs.lengths), settings, observer);
    FunctionResult result;
    const std::size_t count = inputs.sources.size();
    for (std::size_t turn = 0; turn < count; ++turn) {
        const std::size_t index = reversed ? count - 1 - turn : turn;
        const CopyEnd end = CopyWhole(*inputs.sources[index], ChunkBuffer(inputs, buffers, index),
                                      ChunkBytes(buffers), output, settings, scope, result);
        if (end == CopyEnd::Completed) continue;
        if (end == CopyEnd::WriteFailed) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
        } else {
            result.outcome = FunctionOutcome::ReadingInputFailed;
            result.failedInput = static_cast<int>(index + 1);
        }
        break;
    }
    return result;
}

}  // namespace

std::uint64_t OutputBytesFor(ProcessFunction function, std::span<const std::uint64_t> lengths, bool pad) {
    switch (function) {
    case ProcessFunction::Mono: return CoveredBytes(lengths, pad);
    case ProcessFunction::Stereo:
        if (lengths.size() == 2) return CoveredBytes(lengths, pad) / kBytesPerSample * kBytesPerStereoFrame;
        break;
    case ProcessFunction::Join1To2:
    case ProcessFunction::Join2To1: return JoinedBytes(lengths);
    case ProcessFunction::None: break;
    }
    return 0;
}

FunctionResult RunFunction(ProcessFunction function, const FunctionInputs& inputs, ByteSink& output,
                           const FunctionBuffers& buffers, const ProcessingSettings& settings, RunObserver& observer) {
    switch (function) {
    case ProcessFunction::Mono: return Mono(inputs, output, buffers, settings, observer);
    case ProcessFunction::Stereo:
        if (inputs.sources.size() == 2) return Stereo(inputs, output, buffers, settings, observer);
        break;
    case ProcessFunction::Join1To2: return Join(inputs, false, output, buffers, settings, observer);
    case ProcessFunction::Join2To1: return Join(inputs, true, output, buffers, settings, observer);
    case ProcessFunction::None: break;
    }
    return {};
}

}  // namespace varnel
