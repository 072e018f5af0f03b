#include "processing/SampleKernels.h"

#include "processing/SoundFormat.h"

namespace varnel {
namespace {

// The loops work on blocks of a fixed number of samples, copied into local
// arrays: with a known trip count and no possible aliasing, GCC vectorizes
// them even at -O2, whose cheap cost model refuses loops that would need a
// remainder loop or a runtime overlap check. The last partial block goes
// through the same code one sample at a time.
constexpr std::size_t kBlockSamples = 32;

// The sum is taken in 16 bits and its overflow found from the signs (both
// addends differ in sign from the wrapped sum), rather than in 32 bits and
// clamped: the compiler then keeps eight samples to a 128-bit register, and
// the mix runs about twice as fast.
template <std::size_t Count>
std::size_t MixBlock(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
    Sample x[Count], y[Count], sums[Count];
    for (std::size_t i = 0; i < Count; ++i) {
        x[i] = LoadSample(a + 2 * i);
        y[i] = LoadSample(b + 2 * i);
    }
    std::uint16_t clipped = 0;  // at most Count
    for (std::size_t i = 0; i < Count; ++i) {
        const auto wrapped = static_cast<Sample>(static_cast<std::uint16_t>(x[i]) + static_cast<std::uint16_t>(y[i]));
        const bool overflow = static_cast<Sample>((x[i] ^ wrapped) & (y[i] ^ wrapped)) < 0;
        const auto limit = static_cast<Sample>((x[i] >> 15) ^ 0x7FFF);  // -32768 below, 32767 above
        sums[i] = overflow ? limit : wrapped;
        clipped = static_cast<std::uint16_t>(clipped + overflow);
    }
    for (std::size_t i = 0; i < Count; ++i) StoreSample(out + 2 * i, sums[i]);
    return clipped;
}

// In 16 bits, without the sum that would overflow them: the shared bits plus
// half the differing ones is the mean rounded down (the shift is arithmetic);
// a differing lowest bit is an odd sum, a tie, moved up when the mean
// rounded down is odd.
template <std::size_t Count>
void AverageBlock(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
    Sample x[Count], y[Count], means[Count];
    for (std::size_t i = 0; i < Count; ++i) {
        x[i] = LoadSample(a + 2 * i);
        y[i] = LoadSample(b + 2 * i);
    }
    for (std::size_t i = 0; i < Count; ++i) {
        const auto down = static_cast<Sample>((x[i] & y[i]) + ((x[i] ^ y[i]) >> 1));
        means[i] = static_cast<Sample>(down + ((x[i] ^ y[i]) & down & 1));
    }
    for (std::size_t i = 0; i < Count; ++i) StoreSample(out + 2 * i, means[i]);
}

template <std::size_t Count>
void InterleaveBlock(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* out) {
    Sample x[Count], y[Count], frames[2 * Count];
    for (std::size_t i = 0; i < Count; ++i) {
        x[i] = LoadSample(left + 2 * i);
        y[i] = LoadSample(right + 2 * i);
    }
    for (std::size_t i = 0; i < Count; ++i) {
        frames[2 * i] = x[i];
        frames[2 * i + 1] = y[i];
    }
    for (std::size_t i = 0; i < 2 * Count; ++i) StoreSample(out + 2 * i, frames[i]);
}

}  // namespace

std::size_t MixWithClipping(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t samples) {
    std::size_t clipped = 0;
    std::size_t i = 0;
    for (; i + kBlockSamples <= samples; i += kBlockSamples) {
        clipped += MixBlock<kBlockSamples>(a + 2 * i, b + 2 * i, out + 2 * i);
    }
    for (; i < samples; ++i) clipped += MixBlock<1>(a + 2 * i, b + 2 * i, out + 2 * i);
    return clipped;
}

void MixAveraged(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, std::size_t samples) {
    std::size_t i = 0;
    for (; i + kBlockSamples <= samples; i += kBlockSamples)
        AverageBlock<kBlockSamples>(a + 2 * i, b + 2 * i, out + 2 * i);
    for (; i < samples; ++i) AverageBlock<1>(a + 2 * i, b + 2 * i, out + 2 * i);
}

void Interleave(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* out, std::size_t samples) {
    std::size_t i = 0;
    for (; i + kBlockSamples <= samples; i += kBlockSamples) {
        InterleaveBlock<kBlockSamples>(left + 2 * i, right + 2 * i, out + 4 * i);
    }
    for (; i < samples; ++i) InterleaveBlock<1>(left + 2 * i, right + 2 * i, out + 4 * i);
}

void AddToSums(const std::uint8_t* samples, std::int64_t* sums, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) sums[i] += LoadSample(samples + 2 * i);
}

std::size_t StoreClippedSums(const std::int64_t* sums, std::uint8_t* out, std::size_t count) {
    std::size_t clipped = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t sum = sums[i];
        const std::int64_t kept = sum < -32768 ? -32768 : sum > 32767 ? 32767 : sum;
        clipped += kept != sum;
        StoreSample(out + 2 * i, static_cast<Sample>(kept));
    }
    return clipped;
}

void StoreMeans(const std::int64_t* sums, std::int64_t inputs, std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        // Floor division, then the remainder decides: past half up, at half
        // to the even neighbour.
        std::int64_t mean = sums[i] / inputs;
        std::int64_t rest = sums[i] % inputs;
        if (rest < 0) {
            mean -= 1;
            rest += inputs;
        }
        if (2 * rest > inputs || (2 * rest == inputs && (mean & 1))) mean += 1;
        StoreSample(out + 2 * i, static_cast<Sample>(mean));
    }
}

}  // namespace varnel
