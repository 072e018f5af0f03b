// The four functions that turn sound files into another: mix to mono with
// clipping, interleave two to stereo, and join in either order. Each works
// chunk by chunk between streams and buffers that the run has opened and
// taken, so it can be driven by the window (small chunks, a pause after
// each) or by the command line (large chunks, no pause) alike.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "fastio/ByteStream.h"
#include "fastio/PageAlignedMemory.h"
#include "processing/RunObserver.h"
#include "processing/SoundFormat.h"

namespace varnel {

// The function a run performs, by the design's values; any other value
// performs nothing.
enum class ProcessFunction : int {
    None = -1,     // nothing is processed: the output is left empty
    Mono = 0,      // the inputs added sample by sample, each sum clipped to -32768..32767
    Stereo = 1,    // one stereo file: frames of input 1 (left) and input 2 (right)
    Join1To2 = 2,  // every byte of input 1, then every byte of input 2
    Join2To1 = 3,  // every byte of input 2, then every byte of input 1
};

// How big a chunk is, from the longest input's length rounded up to even.
struct ChunkRule {
    std::size_t smallSamples = 1024;
    std::size_t largeSamples = 2000;
    std::uint64_t largeAboveBytes = 128000;  // any input strictly longer: large chunks

    std::size_t SamplesFor(std::uint64_t longestEvenLength) const {
        return longestEvenLength > largeAboveBytes ? largeSamples : smallSamples;
    }
};

struct ProcessingSettings {
    ChunkRule chunks;
    // Yields the processor after each chunk, so that a long run on the one
    // user-interface thread leaves the machine usable.
    std::chrono::milliseconds pauseAfterChunk{1};
    // Mono and stereo: cover the longer input, taking the missing samples of
    // the shorter one as silence, instead of stopping at the shorter input.
    bool padShorterInput = false;
    // Mono: each output sample is the inputs' mean, rounded to nearest with
    // ties to even, instead of their clipped sum; it never clips.
    bool averageMono = false;
    // Joins: where both ends allow it, the system copies the inputs to the
    // output from file to file (ByteSource::CopyTo) in pieces of this many
    // bytes, one progress step each; 0 always reads and writes through the
    // buffers, chunk by chunk, as the window does.
    std::size_t directCopyBytes = 0;
    // Where sample buffers come from: page-aligned memory, for the speed of
    // the kernel's copies; a failing allocator is how a refused buffer is
    // exercised.
    void* (*allocate)(std::size_t) = &AllocatePageAligned;
    void (*release)(void*) = &ReleasePageAligned;
};

// The inputs of a function, in the order given: input N at N - 1.
struct FunctionInputs {
    std::span<ByteSource* const> sources;
    std::span<const std::uint64_t> lengths;  // as measured before processing
};

// Where a function reads its chunks. Of two inputs each has its own buffer,
// which the run places in its page to suit that input's bytes; past two, the
// inputs take turns in the first, and mono adds them up in the second.
struct FunctionBuffers {
    std::uint8_t* buffer1;  // bufferSamples samples each
    std::uint8_t* buffer2;  // two inputs: the second's chunk; past two, mono's sums (kBytesPerSum each), else none
    std::size_t bufferSamples;
};

// Mono of many inputs adds up each sample's values before it clips once.
constexpr std::size_t kBytesPerSum = sizeof(std::int64_t);

enum class FunctionOutcome {
    Completed,
    ReadingInputFailed,  // the one numbered `failedInput`
    WritingOutputFailed,
    StereoBufferRefused,  // nothing was processed
};

struct FunctionResult {
    FunctionOutcome outcome = FunctionOutcome::Completed;
    std::uint64_t outputBytes = 0;
    std::uint64_t clippedSamples = 0;  // mono only
    int failedInput = 0;               // ReadingInputFailed: 1 for the first input
};

// The bytes `function` writes for inputs of `lengths` bytes: mono and
// stereo stop at the shortest input's last whole sample (the longest one's
// when padding), the joins copy every byte.
std::uint64_t OutputBytesFor(ProcessFunction function, std::span<const std::uint64_t> lengths, bool pad);

// Performs `function` on the inputs, each read once in the order given
// (Join2To1 takes them in the other order): mono adds them all before it
// clips once (or takes their mean), join copies one after the other, stereo
// interleaves two. Any other value, and stereo of other than two inputs,
// performs nothing.
FunctionResult RunFunction(ProcessFunction function, const FunctionInputs& inputs, ByteSink& output,
                           const FunctionBuffers& buffers, const ProcessingSettings& settings, RunObserver& observer);

}  // namespace varnel
