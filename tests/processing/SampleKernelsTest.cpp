#include "processing/SampleKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/ExpectedOutput.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
using test::ClippedSum;
using test::SampleBytes;

TEST(Mix, ClipsAtBothEndsAndCountsTheClippedSums) {
    const Bytes a = SampleBytes({30000, -30000, 100, 32767, -32768, 32767, -1});
    const Bytes b = SampleBytes({10000, -10000, -50, 0, -1, 32767, 1});
    Bytes out(a.size());
    EXPECT_EQ(MixWithClipping(a.data(), b.data(), out.data(), 7), 4u);
    EXPECT_EQ(out, SampleBytes({32767, -32768, 50, 32767, -32768, 32767, 0}));
}

TEST(Mix, WritesInPlaceOverTheFirstInput) {
    Bytes a = SampleBytes({1, 2, 3});
    const Bytes b = SampleBytes({10, 20, 30});
    MixWithClipping(a.data(), b.data(), a.data(), 3);
    EXPECT_EQ(a, SampleBytes({11, 22, 33}));
}

TEST(Interleave, PutsInput1LeftAndInput2Right) {
    const Bytes left = SampleBytes({1, 2, -32768});
    const Bytes right = SampleBytes({3, 4, 32767});
    Bytes out(12);
    Interleave(left.data(), right.data(), out.data(), 3);
    EXPECT_EQ(out, SampleBytes({1, 3, 2, 4, -32768, 32767}));
}

// The kernels work in blocks of samples; every length around a block edge
// must give what one sample at a time gives.
TEST(Kernels, EveryLengthAroundTheirBlocksComesOutRight) {
    for (std::size_t samples = 0; samples <= 100; ++samples) {
        std::vector<std::int16_t> left(samples), right(samples), mixed(samples), frames;
        for (std::size_t i = 0; i < samples; ++i) {
            left[i] = static_cast<std::int16_t>(i % 2 ? 32000 - static_cast<int>(i) : -31000 + static_cast<int>(i) * 3);
            right[i] = static_cast<std::int16_t>(i % 3 ? 2000 + static_cast<int>(i) : -2500);
            mixed[i] = static_cast<std::int16_t>(ClippedSum(left[i], right[i]));
            frames.push_back(left[i]);
            frames.push_back(right[i]);
        }
        const Bytes a = SampleBytes(left), b = SampleBytes(right);
        Bytes out(2 * samples), stereo(4 * samples);
        MixWithClipping(a.data(), b.data(), out.data(), samples);
        EXPECT_EQ(out, SampleBytes(mixed)) << samples;
        Interleave(a.data(), b.data(), stereo.data(), samples);
        EXPECT_EQ(stereo, SampleBytes(frames)) << samples;
    }
}

// Every pair of the values where a 16-bit sum can go wrong, through the
// blocks as well as one at a time, with the count of clipped sums.
TEST(Mix, EverySumAtTheEdgesOfTheRange) {
    const std::vector<int> edges{-32768, -32767, -16385, -16384, -16383, -2,    -1,   0,
                                 1,      2,      16383,  16384,  16385,  32766, 32767};
    std::vector<std::int16_t> left, right, mixed;
    std::size_t clipped = 0;
    for (const int x : edges) {
        for (const int y : edges) {
            left.push_back(static_cast<std::int16_t>(x));
            right.push_back(static_cast<std::int16_t>(y));
            mixed.push_back(static_cast<std::int16_t>(ClippedSum(x, y)));
            clipped += ClippedSum(x, y) != x + y;
        }
    }
    const Bytes a = SampleBytes(left), b = SampleBytes(right);
    Bytes out(a.size());
    EXPECT_EQ(MixWithClipping(a.data(), b.data(), out.data(), left.size()), clipped);
    EXPECT_EQ(out, SampleBytes(mixed));
    EXPECT_GT(clipped, 0u);
}

// The mean of every pair of edge values, as exact arithmetic rounds it: to
// nearest, a half to the even neighbour; through the blocks and one at a time.
TEST(Average, EveryMeanAtTheEdgesOfTheRangeRoundsToNearestTiesToEven) {
    const std::vector<int> edges{-32768, -32767, -32766, -16385, -3, -2, -1, 0, 1, 2, 3, 16385, 32765, 32766, 32767};
    std::vector<std::int16_t> left, right, means;
    for (const int x : edges) {
        for (const int y : edges) {
            left.push_back(static_cast<std::int16_t>(x));
            right.push_back(static_cast<std::int16_t>(y));
            const double exact = (x + y) / 2.0;
            double rounded = std::floor(exact + 0.5);
            if (rounded - exact == 0.5 && static_cast<long>(rounded) % 2 != 0) rounded -= 1;
            means.push_back(static_cast<std::int16_t>(rounded));
        }
    }
    const Bytes a = SampleBytes(left), b = SampleBytes(right);
    Bytes out(a.size());
    MixAveraged(a.data(), b.data(), out.data(), left.size());
    EXPECT_EQ(out, SampleBytes(means));
    // The ties named in the header, and the two ends.
    Bytes ties = SampleBytes({1, 1, -1, 32767, -32768, 32767, -32767});
    MixAveraged(ties.data(), SampleBytes({2, 0, 0, 32766, -32767, 32767, -32768}).data(), ties.data(), 7);
    EXPECT_EQ(ties, SampleBytes({2, 0, 0, 32766, -32768, 32767, -32768}));
}

}  // namespace
}  // namespace varnel
