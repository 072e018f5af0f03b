// "-" for standard input and output, as shell tools take it: the real
// program with its standard streams on files and (POSIX) on real pipes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "support/ExpectedOutput.h"
#include "support/TempFolder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnel {
namespace {

using test::Bytes;
using test::ChildSetup;
using test::ProgramOutcome;
using test::SampleBytes;

// Samples whose bytes hold no CR LF pair, which Windows' text capture of
// stdout would fold.
const Bytes kOne = SampleBytes({100, -200, 300, -400, 500});
const Bytes kTwo = SampleBytes({7, 8, 9});

class StandardStreams : public ::testing::Test {
protected:
    StandardStreams() {
        folder.Write("one.pcm", kOne);
        folder.Write("two.pcm", kTwo);
    }
    ProgramOutcome Cli(const std::vector<std::string>& arguments, const ChildSetup& setup = {}) {
        return test::RunCliProgram(arguments, folder.Path().string(), setup);
    }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    test::TempFolder folder;
};

TEST_F(StandardStreams, DashReadsStandardInputAsEitherInput) {
    ChildSetup fromOne;
    fromOne.stdinPath = folder / "one.pcm";
    ProgramOutcome outcome = Cli({"-q", "mono", "-", "two.pcm", "out.pcm"}, fromOne);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(test::ReadBytes(folder / "out.pcm"), test::ExpectedMono(kOne, kTwo));
    outcome = Cli({"-q", "join12", "two.pcm", "-", "out.pcm"}, fromOne);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(test::ReadBytes(folder / "out.pcm"), test::Concatenated(kTwo, kOne));
}

TEST_F(StandardStreams, DashAsOutputWritesStandardOutputAndCreatesNoFile) {
    const ProgramOutcome outcome = Cli({"join21", "one.pcm", "two.pcm", "-"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const Bytes expected = test::Concatenated(kTwo, kOne);
    EXPECT_EQ(Bytes(outcome.out.begin(), outcome.out.end()), expected);
    // The summary stays on stderr, out of the data's way.
    EXPECT_EQ(outcome.err.rfind("varnel-cli: join21: input 1 5 samples", 0), 0u) << outcome.err;
    EXPECT_EQ(Entries(), (std::set<std::string>{"one.pcm", "two.pcm"}));
}

TEST_F(StandardStreams, WrongUsesOfTheDashAreWrongCommandLines) {
    ChildSetup fromOne;
    fromOne.stdinPath = folder / "one.pcm";
    ProgramOutcome outcome = Cli({"mono", "-", "-", "out.pcm"}, fromOne);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.err.rfind("varnel-cli: standard input (-) can be one input only\n", 0), 0u) << outcome.err;
    outcome = Cli({"--json", "mono", "one.pcm", "two.pcm", "-"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("--json"), std::string::npos) << outcome.err;
    EXPECT_EQ(Entries(), (std::set<std::string>{"one.pcm", "two.pcm"}));
}

#ifndef _WIN32
// A real pipe on both sides: input from a named pipe another thread feeds,
// output into a pipe that a reader drains; the progress shows no percentage,
// and the report gives what was read.
TEST_F(StandardStreams, PipesBothWaysWithProgressWithoutAPercentage) {
    const std::string in = folder / "in.fifo", out = folder / "out.fifo";
    ASSERT_EQ(::mkfifo(in.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0);
    const Bytes fed = test::PatternBytes(3u << 20, 9);
    std::thread writer([&] {
        const int fd = ::open(in.c_str(), O_WRONLY);
        for (std::size_t at = 0; fd >= 0 && at < fed.size();) {
            const ssize_t put = ::write(fd, fed.data() + at, fed.size() - at);
            if (put <= 0) break;
            at += static_cast<std::size_t>(put);
        }
        if (fd >= 0) ::close(fd);
    });
    Bytes received;
    std::thread reader([&] {
        const int fd = ::open(out.c_str(), O_RDONLY);
        std::uint8_t chunk[65536];
        for (ssize_t got; fd >= 0 && (got = ::read(fd, chunk, sizeof chunk)) > 0;)
            received.insert(received.end(), chunk, chunk + got);
        if (fd >= 0) ::close(fd);
    });
    ChildSetup setup;
    setup.stdinPath = in;
    setup.stdoutPath = out;
    const ProgramOutcome outcome = Cli({"--progress", "join12", "-", "two.pcm", "-"}, setup);
    writer.join();
    reader.join();
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(received, test::Concatenated(fed, kTwo));
    EXPECT_NE(outcome.err.find("MiB done, "), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('%'), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find(" of 0 B"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("input 1 1572864 samples"), std::string::npos) << outcome.err;
}
#endif

// As a filter ends when its reader has gone (`varnel-cli ... - | head`):
// without a word, with 128 + SIGPIPE; the same for the JSON report, after a
// run that did write its named OUTPUT.
TEST_F(StandardStreams, AReaderOfStandardOutputThatHasGoneEndsTheRunQuietlyWith141) {
    ChildSetup gone;
    gone.stdoutReaderGone = true;
    ProgramOutcome outcome = Cli({"join12", "one.pcm", "two.pcm", "-"}, gone);
    EXPECT_EQ(outcome.exitCode, 141);
    EXPECT_EQ(outcome.err, "");
    outcome = Cli({"--json", "join12", "one.pcm", "two.pcm", "out.pcm"}, gone);
    EXPECT_EQ(outcome.exitCode, 141);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(test::ReadBytes(folder / "out.pcm"), test::Concatenated(kOne, kTwo));
}

#ifndef _WIN32
// Runs started side by side (xargs -P) share one stderr: each message must
// reach it in one write, or their lines interleave mid-line.
TEST_F(StandardStreams, EachMessageOnStandardErrorIsOneWrite) {
    folder.Write("loud.pcm", SampleBytes({30000, -30000, 30000}));
    ChildSetup packets;
    packets.stderrWrites = true;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"mono", "loud.pcm", "loud.pcm", "out.pcm"},          // the summary and the clipping warning
             {"mono", "missing-1.pcm", "missing-2.pcm", "out.pcm"},  // a failure for each input
             {"mono", "one.pcm"}}) {                                 // a wrong command line
        const ProgramOutcome outcome = Cli(arguments, packets);
        ASSERT_FALSE(outcome.errWrites.empty()) << arguments[1];
        for (const std::string& written : outcome.errWrites) {
            EXPECT_TRUE(written.starts_with("varnel-cli: ") && written.ends_with('\n')) << '[' << written << ']';
        }
    }
}
#endif

}  // namespace
}  // namespace varnel
