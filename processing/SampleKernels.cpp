#include "SampleKernels.h"

#include <algorithm>

#include "SoundFormat.h"

namespace varnel {

std::size_t MixWithClipping(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out,
                            std::size_t samples) {
    std::size_t clipped = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const std::int32_t sum = std::int32_t{LoadSample(a + 2 * i)} + LoadSample(b + 2 * i);
        const std::int32_t limited = std::clamp<std::int32_t>(sum, -32768, 32767);
        clipped += static_cast<std::size_t>(limited != sum);
        StoreSample(out + 2 * i, static_cast<Sample>(limited));
    }
    return clipped;
}

void Interleave(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* out,
                std::size_t samples) {
    for (std::size_t i = 0; i < samples; ++i) {
        StoreSample(out + 4 * i, LoadSample(left + 2 * i));
        StoreSample(out + 4 * i + 2, LoadSample(right + 2 * i));
    }
}

}  // namespace varnel
