#include "fastio/BlockAlignedWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "processing/File.h"

#include "support/ExpectedOutput.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
using test::TempFolder;

// Whatever the sizes of the writes, short of a block or across several,
// the file holds the header and then every byte in the order written.
TEST(BlockAlignedWriter, KeepsEveryByteInOrderBehindTheHeader) {
    const Bytes header = test::PatternBytes(44, 7);
    const Bytes samples = test::PatternBytes(40000, 3);
    const std::vector<std::vector<std::size_t>> writeSizes{
        {},                                         // the header alone
        {10},                                       // never reaches a block
        {4052},                                     // exactly to the first boundary
        {1048576 / 64, 1, 4095, 0, 4096, 3, 8191},  // odd sizes, shifted blocks
        {40000},                                    // many blocks at once
    };
    for (const auto& sizes : writeSizes) {
        TempFolder folder;
        const std::string path = folder / "out.wav";
        File file;
        FileFailure failure;
        ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite, failure));
        BlockAlignedWriter writer;
        writer.Begin(file, header.data(), header.size());
        Bytes expected = header;
        std::size_t taken = 0;
        for (const std::size_t size : sizes) {
            ASSERT_TRUE(writer.Write(samples.data() + taken, size));
            expected.insert(expected.end(), samples.data() + taken, samples.data() + taken + size);
            taken += size;
        }
        ASSERT_TRUE(writer.Finish());
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(test::ReadBytes(path), expected) << sizes.size() << " writes";
    }
}

// Records where each write lands in the file.
class WriteRecorder final : public GatheringSink {
public:
    bool Write(const std::uint8_t*, std::size_t size) override { return Land(size); }
    bool WriteBoth(const std::uint8_t*, std::size_t firstSize, const std::uint8_t*, std::size_t secondSize) override {
        return Land(firstSize + secondSize);
    }
    std::vector<std::pair<std::uint64_t, std::size_t>> writes;  // offset, size

private:
    bool Land(std::size_t size) {
        const std::uint64_t offset = writes.empty() ? 0 : writes.back().first + writes.back().second;
        writes.emplace_back(offset, size);
        return true;
    }
};

// What the writer is for: behind a 44-byte header, 1 MiB chunks reach the
// file as 1 MiB writes that each end on a block boundary, the header going
// with the first; only the last write, at the end, ends elsewhere.
TEST(BlockAlignedWriter, EveryWriteButTheLastEndsOnABlockBoundary) {
    const std::size_t chunk = std::size_t{1} << 20;
    const Bytes header = test::PatternBytes(44, 7);
    const Bytes samples = test::PatternBytes(chunk, 3);
    WriteRecorder file;
    BlockAlignedWriter writer;
    writer.Begin(file, header.data(), header.size());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.Write(samples.data(), chunk));
    ASSERT_TRUE(writer.Write(samples.data(), 1000));
    ASSERT_TRUE(writer.Finish());
    ASSERT_EQ(file.writes.size(), 4u);
    for (std::size_t i = 0; i + 1 < file.writes.size(); ++i) {
        EXPECT_EQ(file.writes[i].first, i * chunk);
        EXPECT_EQ(file.writes[i].second, chunk);
    }
    EXPECT_EQ(file.writes.back().first + file.writes.back().second, 44 + 3 * chunk + 1000);
}

#ifndef _WIN32
// A join into a WAV file: the header and what was held back go first, the
// system copies the input's bytes behind them, and writes after the copy
// follow on wherever it ended, on no boundary.
TEST(BlockAlignedWriter, LetsTheSystemCopyAFileBehindWhatWasWritten) {
    TempFolder folder;
    const Bytes header = test::PatternBytes(44, 7), before = test::PatternBytes(10, 1);
    const Bytes copied = test::PatternBytes(5001, 2), after = test::PatternBytes(4100, 3);
    File source, file;
    FileFailure failure;
    ASSERT_TRUE(source.Open(folder.Write("in.pcm", copied), File::Mode::Read, failure));
    ASSERT_TRUE(file.Open(folder / "out.wav", File::Mode::CreateWrite, failure));
    BlockAlignedWriter writer;
    writer.Begin(file, header.data(), header.size());
    ASSERT_TRUE(writer.Write(before.data(), before.size()));
    EXPECT_EQ(writer.CopyFrom(source, 8192), Copied::Moved(copied.size()));
    ASSERT_TRUE(writer.Write(after.data(), after.size()));
    ASSERT_TRUE(writer.Finish());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(test::ReadBytes(folder / "out.wav"),
              test::Concatenated(test::Concatenated(header, before), test::Concatenated(copied, after)));
}
#endif

}  // namespace
}  // namespace varnel
