#include "SampleKernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
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

}  // namespace
}  // namespace varnel
