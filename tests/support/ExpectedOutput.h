// What each function must write, worked out here sample by sample from the
// definitions alone, so that a fault in the program's block-wise kernels
// cannot hide in the expectation too. Every C++ test that checks an output
// against its inputs takes it from here.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "support/TempFolder.h"

namespace varnel::test {

// The mono sample of two input samples: their sum, held at the 16-bit range.
inline int ClippedSum(int a, int b) { return std::clamp(a + b, -32768, 32767); }

// Sample `i` of little-endian 16-bit `bytes`, or silence past its last whole
// sample (an odd trailing byte is no sample).
inline int SampleOrSilence(const Bytes& bytes, std::size_t i) {
    if (2 * i + 1 >= bytes.size()) return 0;
    return static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

// Mono and stereo stop at the shorter input's last whole sample, or with
// `pad` run on to the longer one's.
inline std::size_t CoveredSamples(const Bytes& a, const Bytes& b, bool pad) {
    return (pad ? std::max(a.size(), b.size()) : std::min(a.size(), b.size())) / 2;
}

inline void AppendSample(Bytes& out, int sample) {
    out.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    out.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
}

inline Bytes ExpectedMono(const Bytes& a, const Bytes& b, bool pad = false) {
    Bytes out;
    for (std::size_t i = 0; i < CoveredSamples(a, b, pad); ++i) {
        AppendSample(out, ClippedSum(SampleOrSilence(a, i), SampleOrSilence(b, i)));
    }
    return out;
}

// Input 1 left, input 2 right.
inline Bytes ExpectedStereo(const Bytes& a, const Bytes& b, bool pad = false) {
    Bytes out;
    for (std::size_t i = 0; i < CoveredSamples(a, b, pad); ++i) {
        AppendSample(out, SampleOrSilence(a, i));
        AppendSample(out, SampleOrSilence(b, i));
    }
    return out;
}

// A join: every byte of `first`, an odd last one included, then `second`.
inline Bytes Concatenated(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace varnel::test
