// What each function must write, computed here independently of the core:
// sample by sample, straight from the definitions.
#pragma once

#include <algorithm>
#include <cstdint>

#include "support/TempFolder.h"

namespace varnel::test {

inline int SampleAt(const Bytes& bytes, std::size_t i) {
    return static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

// Whole samples of `bytes`, as many as `samples`, silence past its end.
inline int SampleOrSilence(const Bytes& bytes, std::size_t i) {
    return 2 * i + 1 < bytes.size() ? SampleAt(bytes, i) : 0;
}

inline std::size_t CoveredSamples(const Bytes& a, const Bytes& b, bool pad) {
    return pad ? std::max(a.size(), b.size()) / 2 : std::min(a.size(), b.size()) / 2;
}

inline void Append(Bytes& out, int sample) {
    out.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    out.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
}

inline Bytes ExpectedMono(const Bytes& a, const Bytes& b, bool pad = false) {
    Bytes out;
    for (std::size_t i = 0; i < CoveredSamples(a, b, pad); ++i) {
        Append(out, std::clamp(SampleOrSilence(a, i) + SampleOrSilence(b, i), -32768, 32767));
    }
    return out;
}

inline Bytes ExpectedStereo(const Bytes& a, const Bytes& b, bool pad = false) {
    Bytes out;
    for (std::size_t i = 0; i < CoveredSamples(a, b, pad); ++i) {
        Append(out, SampleOrSilence(a, i));
        Append(out, SampleOrSilence(b, i));
    }
    return out;
}

inline Bytes Concatenated(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace varnel::test
