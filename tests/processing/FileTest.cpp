#include "processing/File.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>
#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
using test::ReadBytes;
using test::TempFolder;

FileCause OpenFailure(const std::string& path, File::Mode mode) {
    File file;
    FileFailure failure;
    EXPECT_FALSE(file.Open(path, mode, failure)) << path;
    return failure.cause;
}

TEST(FileOpen, NamesWhyItFailed) {
    TempFolder folder;
    EXPECT_EQ(OpenFailure(folder / "missing.pcm", File::Mode::Read), FileCause::fileNotFound);
    EXPECT_EQ(OpenFailure(folder / "no-such-folder/in.pcm", File::Mode::Read), FileCause::badPath);
    EXPECT_EQ(OpenFailure(folder / "no-such-folder/out.pcm", File::Mode::CreateWrite), FileCause::badPath);
    std::filesystem::create_directory(folder.Path() / "sub");
    EXPECT_EQ(OpenFailure(folder / "sub", File::Mode::Read), FileCause::accessDenied);
    EXPECT_EQ(OpenFailure(folder / "sub", File::Mode::CreateWrite), FileCause::accessDenied);
}

TEST(FileOpen, HoldsTheFileExclusivelyUntilClosed) {
    TempFolder folder;
    const std::string path = folder.Write("in.pcm", {1, 2, 3, 4});
    File held;
    FileFailure failure;
    ASSERT_TRUE(held.Open(path, File::Mode::Read, failure));

    EXPECT_EQ(OpenFailure(path, File::Mode::Read), FileCause::sharingViolation);
    // The same file by another spelling of its path.
    std::filesystem::create_directory(folder.Path() / "sub");
    EXPECT_EQ(OpenFailure(folder / "sub/../in.pcm", File::Mode::Read), FileCause::sharingViolation);
    EXPECT_EQ(OpenFailure(path, File::Mode::CreateWrite), FileCause::sharingViolation);

    EXPECT_TRUE(held.Close());
    EXPECT_EQ(ReadBytes(path), (Bytes{1, 2, 3, 4})) << "a refused output open must not truncate";
    File again;
    EXPECT_TRUE(again.Open(path, File::Mode::Read, failure));
}

TEST(FileOpen, SharedReadersMayHoldOneFileTogetherButNoOneElse) {
    TempFolder folder;
    const std::string path = folder.Write("in.pcm", {1, 2, 3, 4});
    FileFailure failure;
    {
        File first, second;
        ASSERT_TRUE(first.Open(path, File::Mode::ReadShared, failure));
        ASSERT_TRUE(second.Open(path, File::Mode::ReadShared, failure));
        std::uint8_t a[4] = {}, b[4] = {};
        EXPECT_EQ(first.Read(a, 4), 4u);
        EXPECT_EQ(second.Read(b, 4), 4u) << "each reader has its own position";
        EXPECT_EQ(b[3], 4);
        EXPECT_EQ(OpenFailure(path, File::Mode::Read), FileCause::sharingViolation);
        EXPECT_EQ(OpenFailure(path, File::Mode::WriteExisting), FileCause::sharingViolation);
        EXPECT_TRUE(first.Close());
        EXPECT_EQ(OpenFailure(path, File::Mode::CreateWrite), FileCause::sharingViolation) << "one reader is left";
    }
    File exclusive;
    ASSERT_TRUE(exclusive.Open(path, File::Mode::Read, failure)) << "all readers gone";
    EXPECT_EQ(OpenFailure(path, File::Mode::ReadShared), FileCause::sharingViolation);
}

TEST(FileOpen, CreatesOrTruncatesTheOutput) {
    TempFolder folder;
    const std::string path = folder.Write("out.pcm", {9, 9, 9});
    {
        File output;
        FileFailure failure;
        ASSERT_TRUE(output.Open(path, File::Mode::CreateWrite, failure));
        EXPECT_TRUE(output.Write(Bytes{7}.data(), 1));
    }
    EXPECT_EQ(ReadBytes(path), Bytes{7});

    File fresh;
    FileFailure failure;
    ASSERT_TRUE(fresh.Open(folder / "new.pcm", File::Mode::CreateWrite, failure));
    EXPECT_EQ(fresh.Length(), 0u);
}

TEST(FileOpen, CreatesANewFileOnlyWhereNoneExists) {
    TempFolder folder;
    const std::string existing = folder.Write("out.pcm", {9, 9, 9});
    EXPECT_EQ(OpenFailure(existing, File::Mode::CreateNew), FileCause::accessDenied);
    EXPECT_EQ(ReadBytes(existing), (Bytes{9, 9, 9}));
    EXPECT_EQ(OpenFailure(folder / "no-such-folder/new.pcm", File::Mode::CreateNew), FileCause::badPath);

    File fresh;
    FileFailure failure;
    ASSERT_TRUE(fresh.Open(folder / "new.pcm", File::Mode::CreateNew, failure));
    EXPECT_TRUE(fresh.Write(Bytes{5, 6}.data(), 2));
    EXPECT_TRUE(fresh.Close());
    EXPECT_EQ(ReadBytes(folder / "new.pcm"), (Bytes{5, 6}));
}

TEST(FileOpen, OpensAnExistingFileForWritingWithoutTruncatingIt) {
    TempFolder folder;
    const std::string existing = folder.Write("out.pcm", {9, 9, 9});
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(existing, File::Mode::WriteExisting, failure));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(existing), (Bytes{9, 9, 9}));
    EXPECT_EQ(OpenFailure(folder / "missing.pcm", File::Mode::WriteExisting), FileCause::fileNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing.pcm"));
}

// How a header written before the samples is corrected after them.
TEST(FileSeek, WritesOverWhatWasWrittenBefore) {
    TempFolder folder;
    const std::string path = folder / "out.wav";
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite, failure));
    const Bytes data{1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(file.Write(data.data(), data.size()));
    ASSERT_TRUE(file.Seek(1));
    ASSERT_TRUE(file.Write(data.data(), 2));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(path), (Bytes{1, 1, 2, 4, 5, 6}));
}

TEST(FileWriteBoth, WritesTheFirstPartThenTheSecond) {
    TempFolder folder;
    const std::string path = folder / "out.wav";
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite, failure));
    const Bytes head = test::PatternBytes(44, 1), body = test::PatternBytes(70000, 2);
    ASSERT_TRUE(file.WriteBoth(head.data(), head.size(), body.data(), body.size()));
    ASSERT_TRUE(file.WriteBoth(head.data(), 0, body.data(), 3));
    ASSERT_TRUE(file.WriteBoth(head.data(), 5, body.data(), 0));
    EXPECT_TRUE(file.Close());
    Bytes expected = head;
    expected.insert(expected.end(), body.begin(), body.end());
    expected.insert(expected.end(), body.begin(), body.begin() + 3);
    expected.insert(expected.end(), head.begin(), head.begin() + 5);
    EXPECT_EQ(ReadBytes(path), expected);
}

#ifndef _WIN32
// A size limit cuts the one write short, inside either part: the rest is
// tried and the failure told, the bytes that fit standing in order.
// While it stands, no file of this process grows past `bytes`: writes past
// that fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int);
};

TEST(FileWriteBoth, ASizeLimitEndsItAsAFailureWithTheBytesThatFitInOrder) {
    const Bytes head = test::PatternBytes(44, 1), body = test::PatternBytes(5000, 2);
    for (const rlim_t limit : {rlim_t{30}, rlim_t{1000}}) {
        TempFolder folder;
        const std::string path = folder / "out.wav";
        File file;
        FileFailure failure;
        ASSERT_TRUE(file.Open(path, File::Mode::CreateWrite, failure));
        const bool written = [&] {
            const FileSizeLimit limited(limit);
            return file.WriteBoth(head.data(), head.size(), body.data(), body.size());
        }();

        EXPECT_FALSE(written) << limit;
        EXPECT_EQ(file.LastFailure().cause, FileCause::diskFull) << limit;
        file.Close();
        Bytes expected = head;
        expected.insert(expected.end(), body.begin(), body.end());
        expected.resize(limit);
        EXPECT_EQ(ReadBytes(path), expected) << limit;
    }
}

// The system copies a file behind a header in pieces, every byte in order,
// the end seen as a copy of nothing. Where the output refuses bytes the copy
// already took from the input, the copy failed, which is never answered as
// a copy the system cannot make (that would send the caller on to read past
// the lost bytes), and the file fails from then on, even once it could be
// written again, so that a gap never passes for a whole output.
TEST(FileCopyFrom, MovesEveryByteOrFailsButNeverPassesOverBytesItLost) {
    TempFolder folder;
    const Bytes head = test::PatternBytes(44, 1), body = test::PatternBytes(3 * 1048576 + 3, 2);
    const std::string input = folder.Write("in.pcm", body);
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1048576 + 524288}}) {
        File source, output;
        FileFailure failure;
        ASSERT_TRUE(source.Open(input, File::Mode::Read, failure));
        ASSERT_TRUE(output.Open(folder / "out.pcm", File::Mode::CreateWrite, failure));
        ASSERT_TRUE(output.Write(head.data(), head.size()));
        Copied copied;
        std::uint64_t total = 0;
        {
            const FileSizeLimit limited(limit > 0 ? limit : RLIM_INFINITY);
            while ((copied = output.CopyFrom(source, 8 << 20)).outcome == Copied::Outcome::Moved && copied.bytes > 0)
                total += copied.bytes;
        }
        Bytes expected = head;
        expected.insert(expected.end(), body.begin(), body.end());
        if (limit == 0) {
            EXPECT_EQ(copied, Copied::Moved(0));
            EXPECT_EQ(total, body.size());
            EXPECT_TRUE(output.Close());
        } else {
            EXPECT_EQ(copied, Copied::WriteFailed());
            EXPECT_FALSE(output.Write(body.data(), 2)) << "written past a gap";
            EXPECT_EQ(output.LastFailure().cause, FileCause::diskFull);
            EXPECT_FALSE(output.Close()) << "a file with a gap is not stored";
            expected.resize(limit);
        }
        EXPECT_EQ(ReadBytes(folder / "out.pcm"), expected) << limit;
    }
}

// The kernel's own files measure 0 however much they deliver, which is not
// an input cut short under the copy (where Linux splices them at all).
TEST(FileCopyFrom, TakesTheKernelsFilesWhoseSizeIsNoLengthForWhatTheyAre) {
    TempFolder folder;
    File source, output;
    FileFailure failure;
    if (!source.Open("/proc/version", File::Mode::Read, failure)) GTEST_SKIP() << "no /proc";
    ASSERT_EQ(source.Length(), 0u);
    ASSERT_TRUE(output.Open(folder / "out.pcm", File::Mode::CreateWrite, failure));
    EXPECT_NE(output.CopyFrom(source, 8 << 20).outcome, Copied::Outcome::ReadFailed);
}

// From a pipe the system copies nothing, and takes nothing: every byte is
// still there for the reads that take over.
TEST(FileCopyFrom, TakesNothingWhereTheSystemCannotCopy) {
    TempFolder folder;
    const Bytes body = test::PatternBytes(100000, 3);
    const std::string pipe = folder / "in.fifo";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::thread writer([&] {
        std::ofstream(pipe, std::ios::binary)
            .write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
    });
    File source, output;
    FileFailure failure;
    ASSERT_TRUE(source.Open(pipe, File::Mode::Read, failure));
    ASSERT_TRUE(output.Open(folder / "out.pcm", File::Mode::CreateWrite, failure));
    EXPECT_EQ(output.CopyFrom(source, 8 << 20), Copied::NotBySystem());
    Bytes read(body.size() + 1);
    EXPECT_EQ(source.Read(read.data(), read.size()), body.size());
    writer.join();
    read.resize(body.size());
    EXPECT_EQ(read, body);
}
#endif

TEST(FileRead, DeliversEverythingThenZeroAtTheEnd) {
    TempFolder folder;
    const Bytes content = test::PatternBytes(10000);
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(folder.Write("in.pcm", content), File::Mode::Read, failure));
    EXPECT_EQ(file.Length(), 10000u);
    Bytes buffer(8192);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 8192u);
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 1808u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 1808), Bytes(content.begin() + 8192, content.end()));
    EXPECT_EQ(file.Read(buffer.data(), buffer.size()), 0u);
}

#ifndef _WIN32
// A terminal ends its input with Ctrl-D and is then asked again only if the
// user is to type more: once a read met the end, the file asks no more.
// Here the terminal holds "ab", an end, and then "cd" and another end, which
// a second question would deliver.
TEST(FileRead, AnEndIsFinalEvenOnATerminal) {
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) GTEST_SKIP() << "no terminals here";
    const std::string typed =
        "ab\x04\x04"
        "cd\x04\x04";
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(::ptsname(terminal), File::Mode::Read, failure));
    ASSERT_EQ(::write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    std::uint8_t buffer[64];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), std::optional<std::size_t>(2));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), std::optional<std::size_t>(0));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), std::optional<std::size_t>(0));
    file.Close();
    ::close(terminal);
}
#endif

TEST(FileLength, MeasuresFilesBeyondFourGibibytes) {
    TempFolder folder;
    const std::string path = folder / "big.pcm";
    folder.Write("big.pcm", {});
    const std::uintmax_t size = (std::uintmax_t{4} << 30) + 6;  // sparse: no disk space used
    std::filesystem::resize_file(path, size);
    File file;
    FileFailure failure;
    ASSERT_TRUE(file.Open(path, File::Mode::Read, failure));
    EXPECT_EQ(file.Length(), size);
}

}  // namespace
}  // namespace varnel
