// The per-sample work of the mono and stereo functions, over whole buffers of
// little-endian sample bytes. Written without per-sample branches so that the
// compiler vectorizes them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel {

// out[i] = clamp(a[i] + b[i]) to the 16-bit range, for `samples` samples.
// `out` may be `a`. Returns how many sums had to be clipped.
std::size_t MixWithClipping(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t samples);

// out[i] = the mean of a[i] and b[i], rounded to nearest, a tie (a sum
// that is odd) to the even neighbour, so that rounding leans neither up nor
// down: (1 + 2) / 2 gives 2, (1 + 0) / 2 gives 0, (-1 + 0) / 2 gives 0.
// It never leaves the 16-bit range. `out` may be `a`.
void MixAveraged(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t samples);

// Frame i of `out` gets left = left[i], right = right[i]; `out` holds
// 2 * `samples` samples and must not overlap the inputs.
void Interleave(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* out, std::size_t samples);

// Mono of more than two inputs: each input's samples are added to the sums
// in turn, and the sums are then stored once, clipped or as the mean.
void AddToSums(const std::uint8_t* samples, std::int64_t* sums, std::size_t count);

// out[i] = clamp(sums[i]) to the 16-bit range. Returns how many were clipped.
std::size_t StoreClippedSums(const std::int64_t* sums, std::uint8_t* out, std::size_t count);

// out[i] = sums[i] / inputs rounded to nearest, a tie to the even neighbour,
// as MixAveraged rounds the mean of two.
void StoreMeans(const std::int64_t* sums, std::int64_t inputs, std::uint8_t* out, std::size_t count);

}  // namespace varnel
