#include "fastio/PageAlignedMemory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace varnel {
namespace {

TEST(PageAlignedMemory, StartsOnAPageAndReleases) {
    void* const memory = AllocatePageAligned(3 * kPageBytes + 5);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % kPageBytes, 0u);
    MapPagesNow(static_cast<std::uint8_t*>(memory) + 100, 3 * kPageBytes - 95);
    ReleasePageAligned(memory);
    ReleasePageAligned(nullptr);
}

// A buffer stands where the bytes it is written to do, unless that puts it
// just past the bytes it is filled from; always at an even offset.
TEST(BufferPageOffset, FollowsTheWrittenFileAndStepsOffTheReadOne) {
    EXPECT_EQ(BufferPageOffset(kPageBytes + 45), 44u);
    EXPECT_EQ(BufferPageOffset(0, 64), 64u);
    EXPECT_EQ(BufferPageOffset(0, 44), 108u);
    EXPECT_EQ(BufferPageOffset(44, 44), 44u);
    EXPECT_EQ(BufferPageOffset(4, 44), 44u + 64u);
    EXPECT_EQ(BufferPageOffset(4, 4 + 63), 4u + 63u + 64u - 1u);
    EXPECT_EQ(BufferPageOffset(kPageBytes - 10, 20), 84u);
    EXPECT_EQ(BufferPageOffset(100, 36), 36u);
}

}  // namespace
}  // namespace varnel
