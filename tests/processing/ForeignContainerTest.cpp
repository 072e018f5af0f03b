#include "processing/ForeignContainer.h"

#include <gtest/gtest.h>

#include <string>

namespace varnel {
namespace {

ForeignContainer Of(const std::string& start) {
    return ForeignContainerOf(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
}

// Each container's own first bytes are tested on real files with the program.
TEST(ForeignContainer, TakesOtherBytesForSamples) {
    EXPECT_EQ(Of(""), ForeignContainer::None);
    EXPECT_EQ(Of("fLa"), ForeignContainer::None);  // a raw file too short to say
    EXPECT_EQ(Of(std::string("RIFF\x10\0\0\0WAVEfmt ", 16)), ForeignContainer::None);
    EXPECT_EQ(Of(std::string("FORM\0\0\0 8SVXVHDR", 16)), ForeignContainer::None);  // IFF, but no AIFF
    EXPECT_EQ(Of(std::string("riff\x2E\x91\xCF\x11\xA5\xD6\x28\xDB\x04\xC1\0\x01", 16)), ForeignContainer::None);
    EXPECT_EQ(Of(std::string("ID3\x09\0\0\0\0", 8)), ForeignContainer::None);
    EXPECT_EQ(Of(std::string("\0\0\0\0fLaC", 8)), ForeignContainer::None);  // only at the start
}

}  // namespace
}  // namespace varnel
