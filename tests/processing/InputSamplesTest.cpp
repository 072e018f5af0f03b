#include "processing/InputSamples.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "fastio/PageAlignedMemory.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

// Where each read of the underlying stream landed, past the buffer's start.
class RecordingStream final : public ByteSource {
public:
    explicit RecordingStream(const std::uint8_t* buffer) : m_buffer(buffer) {}
    std::optional<std::size_t> Read(std::uint8_t* into, std::size_t size) override {
        reads.emplace_back(into - m_buffer, size);
        for (std::size_t i = 0; i < size; ++i) into[i] = static_cast<std::uint8_t>(m_next++);
        return size;
    }
    std::vector<std::pair<long, std::size_t>> reads;

private:
    const std::uint8_t* m_buffer;
    unsigned m_next = 12;
};

// A stream's sniffed bytes come first, then the stream's own up to the
// buffer's next page boundary, so that the large read starts on one.
TEST(InputSamples, ReadsOnPageBoundariesBehindTheBytesHandedBack) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    auto* buffer = static_cast<std::uint8_t*>(AllocatePageAligned(kChunk));
    ASSERT_NE(buffer, nullptr);
    RecordingStream stream(buffer);
    InputSamples samples;
    samples.Attach(stream);
    const std::uint8_t sniffed[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    samples.HandBack(sniffed, sizeof sniffed);

    EXPECT_EQ(samples.Read(buffer, kChunk), kChunk);
    EXPECT_EQ(samples.Read(buffer, kChunk), kChunk);
    using Reads = std::vector<std::pair<long, std::size_t>>;
    EXPECT_EQ(stream.reads, (Reads{{12, 4096 - 12}, {4096, kChunk - 4096}, {0, kChunk}}));
    for (std::size_t i = 0; i < 5000; ++i) ASSERT_EQ(buffer[i], static_cast<std::uint8_t>(kChunk + i)) << i;
    ReleasePageAligned(buffer);
}

}  // namespace
}  // namespace varnel
