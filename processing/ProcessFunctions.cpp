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

// Reads the next chunk of both inputs in step; input 2 is read only after
// input 1 delivered data. Returns the whole samples that both delivered, 0
// at the end of either input or on a failure, which goes to `outcome`. An odd
// trailing byte is never used. When padding, both inputs are read to their
// end and the whole samples of the longer one are returned, the shorter one's
// missing samples turned to silence.
std::size_t ReadSamplePair(const FunctionStreams& streams, const FunctionBuffers& buffers, bool pad,
                           FunctionOutcome& outcome) {
    const auto got1 = streams.input1.Read(buffers.buffer1, ChunkBytes(buffers));
    if (!got1) {
        outcome = FunctionOutcome::ReadingInput1Failed;
        return 0;
    }
    if (*got1 == 0 && !pad) return 0;
    const auto got2 = streams.input2.Read(buffers.buffer2, ChunkBytes(buffers));
    if (!got2) {
        outcome = FunctionOutcome::ReadingInput2Failed;
        return 0;
    }
    if (!pad) return std::min(*got1, *got2) / kBytesPerSample;
    const std::size_t samples = std::max(*got1, *got2) / kBytesPerSample;
    PadWithSilence(buffers.buffer1, *got1, samples);
    PadWithSilence(buffers.buffer2, *got2, samples);
    return samples;
}

// Mono and stereo stop at the shorter input's last whole sample, or with
// padding at the longer one's.
std::uint64_t PairedBytes(InputLengths lengths, bool pad) {
    const std::uint64_t covered =
        pad ? std::max(lengths.input1, lengths.input2) : std::min(lengths.input1, lengths.input2);
    return covered / kBytesPerSample * kBytesPerSample;
}

FunctionResult Mono(const FunctionStreams& streams, const FunctionBuffers& buffers, InputLengths lengths,
                    const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(PairedBytes(lengths, settings.padShorterInput), settings, observer);
    FunctionResult result;
    while (const std::size_t samples = ReadSamplePair(streams, buffers, settings.padShorterInput, result.outcome)) {
        if (settings.averageMono) {
            MixAveraged(buffers.buffer1, buffers.buffer2, buffers.buffer1, samples);
        } else {
            result.clippedSamples += MixWithClipping(buffers.buffer1, buffers.buffer2, buffers.buffer1, samples);
        }
        const std::size_t bytes = samples * kBytesPerSample;
        if (!streams.output.Write(buffers.buffer1, bytes)) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
            break;
        }
        result.outputBytes += bytes;
        scope.ChunkDone(bytes);
    }
    return result;
}

FunctionResult Stereo(const FunctionStreams& streams, const FunctionBuffers& buffers, InputLengths lengths,
                      const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(PairedBytes(lengths, settings.padShorterInput), settings, observer);
    FunctionResult result;
    const std::size_t framesBytes = buffers.bufferSamples * kBytesPerStereoFrame;
    const std::size_t place = BufferPageOffset(streams.output.PageOffset());
    const std::unique_ptr<std::uint8_t, void (*)(void*)> taken(
        static_cast<std::uint8_t*>(settings.allocate(place + framesBytes)), settings.release);
    if (!taken) {
        result.outcome = FunctionOutcome::StereoBufferRefused;
        return result;
    }
    std::uint8_t* const frames = taken.get() + place;
    MapPagesNow(frames, framesBytes);
    while (const std::size_t samples = ReadSamplePair(streams, buffers, settings.padShorterInput, result.outcome)) {
        Interleave(buffers.buffer1, buffers.buffer2, frames, samples);
        if (!streams.output.Write(frames, samples * kBytesPerStereoFrame)) {
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

struct JoinPart {
    ByteSource& source;
    std::uint8_t* buffer;
    FunctionOutcome readFailure;
};

FunctionResult Join(const JoinPart& first, const JoinPart& second, ByteSink& output, const FunctionBuffers& buffers,
                    InputLengths lengths, const ProcessingSettings& settings, RunObserver& observer) {
    FunctionScope scope(lengths.input1 + lengths.input2, settings, observer);
    FunctionResult result;
    for (const JoinPart* part : {&first, &second}) {
        const CopyEnd end = CopyWhole(part->source, part->buffer, ChunkBytes(buffers), output, settings, scope, result);
        if (end == CopyEnd::Completed) continue;
        result.outcome = end == CopyEnd::ReadFailed ? part->readFailure : FunctionOutcome::WritingOutputFailed;
        break;
    }
    return result;
}

std::uint64_t CoveredBytes(std::span<const std::uint64_t> lengths, bool pad) {
    if (lengths.empty()) return 0;
    const auto covered =
        pad ? *std::max_element(lengths.begin(), lengths.end()) : *std::min_element(lengths.begin(), lengths.end());
    return covered / kBytesPerSample * kBytesPerSample;
}

FunctionResult JoinMany(const ManyInputs& inputs, ByteSink& output, std::uint8_t* buffer, std::size_t bufferSamples,
                        const ProcessingSettings& settings, RunObserver& observer) {
    std::uint64_t total = 0;
    for (const std::uint64_t length : inputs.lengths) total += length;
    FunctionScope scope(total, settings, observer);
    FunctionResult result;
    for (std::size_t i = 0; i < inputs.sources.size(); ++i) {
        const CopyEnd end =
            CopyWhole(*inputs.sources[i], buffer, bufferSamples * kBytesPerSample, output, settings, scope, result);
        if (end == CopyEnd::Completed) continue;
        if (end == CopyEnd::WriteFailed) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
        } else {
            result.outcome = FunctionOutcome::ReadingInputFailed;
            result.failedInput = static_cast<int>(i + 1);
        }
        break;
    }
    return result;
}

// Each input's chunk is read into the one buffer in turn and added to the
// sums (the second buffer), so that memory stays the same however many
// inputs there are.
FunctionResult MonoMany(const ManyInputs& inputs, ByteSink& output, const FunctionBuffers& buffers,
                        const ProcessingSettings& settings, RunObserver& observer) {
    const bool pad = settings.padShorterInput;
    FunctionScope scope(CoveredBytes(inputs.lengths, pad), settings, observer);
    FunctionResult result;
    std::uint8_t* const buffer = buffers.buffer1;
    const std::size_t bufferSamples = buffers.bufferSamples;
    const std::span<std::int64_t> sums(reinterpret_cast<std::int64_t*>(buffers.buffer2), bufferSamples);
    const std::size_t chunkBytes = bufferSamples * kBytesPerSample;
    while (true) {
        std::fill(sums.begin(), sums.end(), std::int64_t{0});
        std::size_t samples = pad ? 0 : bufferSamples;
        for (std::size_t i = 0; i < inputs.sources.size(); ++i) {
            const auto got = inputs.sources[i]->Read(buffer, chunkBytes);
            if (!got) {
                result.outcome = FunctionOutcome::ReadingInputFailed;
                result.failedInput = static_cast<int>(i + 1);
                return result;
            }
            const std::size_t whole = *got / kBytesPerSample;
            samples = pad ? std::max(samples, whole) : std::min(samples, whole);
            if (samples == 0 && !pad) return result;
            AddToSums(buffer, sums.data(), whole);
        }
        if (samples == 0) return result;
        if (settings.averageMono) {
            StoreMeans(sums.data(), static_cast<std::int64_t>(inputs.sources.size()), buffer, samples);
        } else {
            result.clippedSamples += StoreClippedSums(sums.data(), buffer, samples);
        }
        const std::size_t bytes = samples * kBytesPerSample;
        if (!output.Write(buffer, bytes)) {
            result.outcome = FunctionOutcome::WritingOutputFailed;
            return result;
        }
        result.outputBytes += bytes;
        scope.ChunkDone(bytes);
    }
}

}  // namespace

std::uint64_t OutputBytesForMany(ProcessFunction function, std::span<const std::uint64_t> lengths, bool pad) {
    std::uint64_t total = 0;
    switch (function) {
    case ProcessFunction::Mono: return CoveredBytes(lengths, pad);
    case ProcessFunction::Join1To2:
        for (const std::uint64_t length : lengths) total += length;
        return total;
    case ProcessFunction::Stereo:
    case ProcessFunction::Join2To1:
        if (lengths.size() == 2) return OutputBytesFor(function, {lengths[0], lengths[1]}, pad);
        break;
    case ProcessFunction::None: break;
    }
    return 0;
}

FunctionResult RunFunctionOnMany(ProcessFunction function, const ManyInputs& inputs, ByteSink& output,
                                 const FunctionBuffers& buffers, const ProcessingSettings& settings,
                                 RunObserver& observer) {
    switch (function) {
    case ProcessFunction::Mono: return MonoMany(inputs, output, buffers, settings, observer);
    case ProcessFunction::Join1To2:
        return JoinMany(inputs, output, buffers.buffer1, buffers.bufferSamples, settings, observer);
    case ProcessFunction::Stereo:
    case ProcessFunction::Join2To1:
    case ProcessFunction::None: break;
    }
    return {};
}

std::uint64_t OutputBytesFor(ProcessFunction function, InputLengths lengths, bool pad) {
    switch (function) {
    case ProcessFunction::Mono: return PairedBytes(lengths, pad);
    case ProcessFunction::Stereo: return PairedBytes(lengths, pad) / kBytesPerSample * kBytesPerStereoFrame;
    case ProcessFunction::Join1To2:
    case ProcessFunction::Join2To1: return lengths.input1 + lengths.input2;
    case ProcessFunction::None: break;
    }
    return 0;
}

FunctionResult RunFunction(ProcessFunction function, const FunctionStreams& streams, const FunctionBuffers& buffers,
                           InputLengths lengths, const ProcessingSettings& settings, RunObserver& observer) {
    const JoinPart input1{streams.input1, buffers.buffer1, FunctionOutcome::ReadingInput1Failed};
    const JoinPart input2{streams.input2, buffers.buffer2, FunctionOutcome::ReadingInput2Failed};
    switch (function) {
    case ProcessFunction::Mono: return Mono(streams, buffers, lengths, settings, observer);
    case ProcessFunction::Stereo: return Stereo(streams, buffers, lengths, settings, observer);
    case ProcessFunction::Join1To2: return Join(input1, input2, streams.output, buffers, lengths, settings, observer);
    case ProcessFunction::Join2To1: return Join(input2, input1, streams.output, buffers, lengths, settings, observer);
    case ProcessFunction::None: break;
    }
    return {};
}

}  // namespace varnel
