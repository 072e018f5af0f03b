// What a sound file is, for Varnel.
//
// A sound file carries no header: it is a plain sequence of samples, each a
// signed 16-bit integer stored little-endian (low byte first). No sample rate
// or channel count is stored anywhere. A stereo output file is a sequence of
// frames of two samples, left (from input 1) then right (from input 2).
//
// Samples are decoded and encoded explicitly, so the code is right on a host
// of either byte order.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace varnel {

using Sample = std::int16_t;

inline constexpr std::size_t kBytesPerSample = 2;
inline constexpr std::size_t kBytesPerStereoFrame = 2 * kBytesPerSample;

inline Sample LoadSample(const std::uint8_t* bytes) {
    std::uint16_t raw;
    std::memcpy(&raw, bytes, sizeof raw);
    if constexpr (std::endian::native == std::endian::big) raw = static_cast<std::uint16_t>(raw >> 8 | raw << 8);
    return static_cast<Sample>(raw);
}

inline void StoreSample(std::uint8_t* bytes, Sample sample) {
    auto raw = static_cast<std::uint16_t>(sample);
    if constexpr (std::endian::native == std::endian::big) raw = static_cast<std::uint16_t>(raw >> 8 | raw << 8);
    std::memcpy(bytes, &raw, sizeof raw);
}

}  // namespace varnel
