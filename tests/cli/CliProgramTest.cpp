// The real program, run as a child process on real files: output bytes,
// exit statuses and the texts on stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "ChildProcess.h"
#include "Expected.h"
#include "support/TempFolder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnel {
namespace {

using test::Bytes;
using test::PatternBytes;
using test::ProgramOutcome;
using test::ReadBytes;
using test::SampleBytes;
using test::TempFolder;
using Names = std::set<std::string>;

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;  // the program's chunk size

class CliProgram : public ::testing::Test {
protected:
    ProgramOutcome Cli(const std::vector<std::string>& arguments) {
        return test::RunCliProgram(arguments, folder.Path().string());
    }
    // Runs FUNCTION on two fresh inputs into out.pcm and returns its bytes.
    Bytes Output(const std::string& function, const Bytes& one, const Bytes& two, bool pad = false) {
        folder.Write("one.pcm", one);
        folder.Write("two.pcm", two);
        std::vector<std::string> arguments{"-q", function, "one.pcm", "two.pcm", "out.pcm"};
        if (pad) arguments.insert(arguments.begin(), "--pad");
        const ProgramOutcome outcome = Cli(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        return ReadBytes(folder / "out.pcm");
    }
    Names Entries() const {
        Names names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TempFolder folder;
};

TEST_F(CliProgram, WritesWhatTheWindowWritesForAllFourFunctions) {
    // Empty, odd, unequal, and the sizes around the program's chunk size.
    const std::vector<std::pair<std::size_t, std::size_t>> sizes{
        {0, 0}, {0, 6}, {5, 8}, {9, 7}, {kChunkBytes - 1, kChunkBytes + 1}, {kChunkBytes, kChunkBytes},
        {2 * kChunkBytes + 3, kChunkBytes - 2}};
    for (const auto& [size1, size2] : sizes) {
        const Bytes one = PatternBytes(size1, 3), two = PatternBytes(size2, 101);
        EXPECT_EQ(Output("mono", one, two), test::ExpectedMono(one, two)) << size1 << " + " << size2;
        EXPECT_EQ(Output("stereo", one, two), test::ExpectedStereo(one, two)) << size1 << " + " << size2;
        EXPECT_EQ(Output("join12", one, two), test::Concatenated(one, two)) << size1 << " + " << size2;
        EXPECT_EQ(Output("join21", one, two), test::Concatenated(two, one)) << size1 << " + " << size2;
    }
}

TEST_F(CliProgram, MonoClipsAtBothEnds) {
    const Bytes one = SampleBytes({30000, -30000, 100, 32767, -32768});
    const Bytes two = SampleBytes({10000, -10000, -50, 0, -1});
    EXPECT_EQ(Output("mono", one, two), SampleBytes({32767, -32768, 50, 32767, -32768}));
}

TEST_F(CliProgram, PadCoversTheLongerInputWithSilence) {
    const std::vector<std::pair<std::size_t, std::size_t>> sizes{
        {0, 6}, {7, 0}, {5, 8}, {9, 7}, {kChunkBytes + 1, kChunkBytes - 1}, {3, 2 * kChunkBytes + 5}};
    for (const auto& [size1, size2] : sizes) {
        const Bytes one = PatternBytes(size1, 7), two = PatternBytes(size2, 77);
        EXPECT_EQ(Output("mono", one, two, true), test::ExpectedMono(one, two, true)) << size1 << " + " << size2;
        EXPECT_EQ(Output("stereo", one, two, true), test::ExpectedStereo(one, two, true)) << size1 << " + " << size2;
    }
    EXPECT_EQ(Output("stereo", SampleBytes({1}), SampleBytes({3, 4}), true), SampleBytes({1, 3, 0, 4}));
}

TEST_F(CliProgram, WrongCommandLinesExitWith2AndAHint) {
    folder.Write("one.pcm", SampleBytes({1}));
    const std::vector<std::vector<std::string>> wrong{
        {},
        {"mono", "one.pcm", "one.pcm"},
        {"mix", "one.pcm", "one.pcm", "out.pcm"},
        {"mono", "one.pcm", "one.pcm", "out.pcm", "extra.pcm"},
        {"--loud", "mono", "one.pcm", "one.pcm", "out.pcm"},
        {"--pad", "join12", "one.pcm", "one.pcm", "out.pcm"},
        {"-q", "--progress", "mono", "one.pcm", "one.pcm", "out.pcm"}};
    for (const auto& arguments : wrong) {
        const ProgramOutcome outcome = Cli(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
        EXPECT_EQ(outcome.err.rfind("varnel-cli: ", 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 2) << outcome.err;
        EXPECT_NE(outcome.err.find("\nRun 'varnel-cli --help' for the usage.\n"), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(Entries(), Names{"one.pcm"});
    EXPECT_EQ(Cli({"--pad", "join12", "one.pcm", "one.pcm", "out.pcm"}).err,
              "varnel-cli: --pad works with mono and stereo only\nRun 'varnel-cli --help' for the usage.\n");
}

TEST_F(CliProgram, HelpAndVersionGoToStdout) {
    const ProgramOutcome help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: varnel-cli [OPTIONS] FUNCTION INPUT1 INPUT2 OUTPUT"), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("join21"), std::string::npos);
    EXPECT_EQ(Cli({"-h"}).out, help.out);
    const ProgramOutcome version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "varnel-cli " VARNEL_PROJECT_VERSION "\n");
}

TEST_F(CliProgram, RunFailuresShowTheWindowsMessagesOnePerLineAndExitWith1) {
    folder.Write("one.pcm", SampleBytes({1, 2}));
    folder.Write("two.pcm", SampleBytes({3, 4}));
    std::filesystem::create_directory(folder.Path() / "sub");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"mono", "missing.pcm", "also-missing.pcm", "out.pcm"}, "varnel-cli: Sound File 1 Not Found\n"},
        {{"stereo", "one.pcm", "missing.pcm", "out.pcm"}, "varnel-cli: Sound File 2 Not Found\n"},
        {{"join12", "sub", "two.pcm", "out.pcm"}, "varnel-cli: Opening Sound File 1 Failed\n"},
        {{"join21", "one.pcm", "one.pcm", "out.pcm"}, "varnel-cli: Opening Sound File 2 Failed\n"},
        {{"mono", "one.pcm", "two.pcm", "nowhere/out.pcm"},
         "varnel-cli: badPath\nvarnel-cli: The Output Sound File was not created\n"},
        {{"mono", "one.pcm", "two.pcm", "sub"},
         "varnel-cli: accessDenied\nvarnel-cli: The Output Sound File was not created\n"},
    };
    for (const auto& [arguments, messages] : cases) {
        const ProgramOutcome outcome = Cli(arguments);
        EXPECT_EQ(outcome.exitCode, 1) << arguments[1];
        EXPECT_EQ(outcome.err, messages);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm", "sub"}));
    EXPECT_EQ(ReadBytes(folder / "one.pcm"), SampleBytes({1, 2}));
}

TEST_F(CliProgram, AnOutputThatIsAnInputIsRefusedWhateverItsSpelling) {
    const Bytes content = PatternBytes(3001);
    folder.Write("one.pcm", content);
    folder.Write("two.pcm", content);
    std::vector<std::string> outputs{"one.pcm", "./two.pcm", (folder / "one.pcm")};
    std::error_code error;
    std::filesystem::create_hard_link(folder.Path() / "two.pcm", folder.Path() / "hard.pcm", error);
    if (!error) outputs.push_back("hard.pcm");
#ifdef _WIN32
    outputs.push_back("ONE.PCM");
    outputs.push_back(".\\Two.Pcm");
#else
    std::filesystem::create_symlink("one.pcm", folder.Path() / "soft.pcm");
    outputs.push_back("soft.pcm");
#endif
    const Names before = Entries();
    for (const std::string& output : outputs) {
        const ProgramOutcome outcome = Cli({"mono", "one.pcm", "two.pcm", output});
        EXPECT_EQ(outcome.exitCode, 1) << output;
        EXPECT_EQ(outcome.err, "varnel-cli: sharingViolation\nvarnel-cli: The Output Sound File was not created\n")
            << output;
    }
    EXPECT_EQ(ReadBytes(folder / "one.pcm"), content);
    EXPECT_EQ(ReadBytes(folder / "two.pcm"), content);
    EXPECT_EQ(Entries(), before);
    EXPECT_FALSE(error) << "hard links: " << error.message();
}

TEST_F(CliProgram, AFailedRunLeavesAnExistingOutputAsItWasAndNoPartialFile) {
    const Bytes previous = PatternBytes(999, 9);
    folder.Write("out.pcm", previous);
    folder.Write("one.pcm", PatternBytes(3 * kChunkBytes));
    EXPECT_EQ(Cli({"join12", "one.pcm", "missing.pcm", "out.pcm"}).exitCode, 1);
#ifndef _WIN32
    // A read that fails half-way, after the output was opened.
    const ProgramOutcome outcome = Cli({"join21", "/proc/self/mem", "one.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "varnel-cli: Reading Sound File 1 Failed\n");
#endif
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), previous);
    EXPECT_EQ(Entries(), (Names{"one.pcm", "out.pcm"}));
}

TEST_F(CliProgram, ASuccessfulRunReplacesAnExistingOutput) {
    folder.Write("out.pcm", PatternBytes(5000));
#ifndef _WIN32
    std::filesystem::permissions(folder.Path() / "out.pcm", std::filesystem::perms(0640));
#endif
    EXPECT_EQ(Output("join21", SampleBytes({1}), SampleBytes({2})), SampleBytes({2, 1}));
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm", "out.pcm"}));
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(folder.Path() / "out.pcm").permissions(), std::filesystem::perms(0640));
#endif
}

TEST_F(CliProgram, SummaryNamesTheLengthsTheClippingAndWhatWasLeftOut) {
    folder.Write("one.pcm", Bytes{0x30, 0x75, 0x30, 0x75, 1, 0, 7});  // 30000, 30000, 1 and an odd byte
    folder.Write("two.pcm", SampleBytes({30000, -5}));
    ProgramOutcome outcome = Cli({"mono", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err,
              "varnel-cli: mono: input 1 3 samples and 1 byte, input 2 2 samples, output 2 samples, 1 sample clipped\n"
              "varnel-cli: note: input 1 ends in an odd byte, which was not used\n"
              "varnel-cli: note: the last 1 sample of input 1 was not used (--pad covers them)\n");
    outcome = Cli({"--pad", "stereo", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.err,
              "varnel-cli: stereo: input 1 3 samples and 1 byte, input 2 2 samples, output 3 stereo frames, shorter "
              "input padded with silence\n"
              "varnel-cli: note: input 1 ends in an odd byte, which was not used\n");
    outcome = Cli({"join12", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.err,
              "varnel-cli: join12: input 1 3 samples and 1 byte, input 2 2 samples, output 5 samples and 1 byte\n"
              "varnel-cli: note: input 1 ends in an odd byte, copied as it is; the samples of input 2 after it are "
              "one byte out of step\n");
}

TEST_F(CliProgram, JsonPrintsTheSummaryOnStdoutForScripts) {
    folder.Write("one.pcm", SampleBytes({30000, 30000, 1}));
    folder.Write("two.pcm", Bytes{0x30, 0x75, 9});
    ProgramOutcome outcome = Cli({"--json", "-q", "mono", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              "{\"function\":\"mono\",\"succeeded\":true,\"padded\":false,"
              "\"input1\":{\"bytes\":6,\"samples\":3,\"oddByte\":false,\"unusedSamples\":2},"
              "\"input2\":{\"bytes\":3,\"samples\":1,\"oddByte\":true,\"unusedSamples\":0},"
              "\"output\":{\"bytes\":2,\"samples\":1},\"clippedSamples\":1}\n");
    outcome = Cli({"--json", "mono", "missing.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.out, "{\"function\":\"mono\",\"succeeded\":false,\"failures\":[\"Sound File 1 Not Found\"]}\n");
    EXPECT_EQ(outcome.err, "varnel-cli: Sound File 1 Not Found\n");
}

TEST_F(CliProgram, QuietLeavesOnlyFailuresAndTheProgressBarIsShownWhenForced) {
    folder.Write("one.pcm", PatternBytes(3 * kChunkBytes));
    folder.Write("two.pcm", PatternBytes(kChunkBytes));
    EXPECT_EQ(Cli({"-q", "join12", "one.pcm", "two.pcm", "out.pcm"}).err, "");
    EXPECT_EQ(Cli({"--quiet", "mono", "one.pcm", "missing.pcm", "out.pcm"}).err,
              "varnel-cli: Sound File 2 Not Found\n");
    // Not a terminal: no bar unless forced.
    EXPECT_EQ(Cli({"join12", "one.pcm", "two.pcm", "out.pcm"}).err.find('%'), std::string::npos);
    const std::string forced = Cli({"--progress", "join12", "one.pcm", "two.pcm", "out.pcm"}).err;
    EXPECT_NE(forced.find("100% [####################] 4.0 MiB of 4.0 MiB"), std::string::npos) << forced;
    EXPECT_NE(forced.find("varnel-cli: join12: input 1"), std::string::npos) << forced;
}

TEST_F(CliProgram, AnEmptyOutputNameIsRefusedAsTheWindowRefusesIt) {
    folder.Write("one.pcm", SampleBytes({1}));
    folder.Write("two.pcm", SampleBytes({2}));
    const ProgramOutcome outcome = Cli({"mono", "one.pcm", "two.pcm", ""});
    EXPECT_EQ(outcome.exitCode, 1);
    const std::string last = "varnel-cli: The Output Sound File was not created\n";
    ASSERT_GE(outcome.err.size(), last.size());
    EXPECT_EQ(outcome.err.substr(outcome.err.size() - last.size()), last) << outcome.err;
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm"}));
}

#ifndef _WIN32
TEST_F(CliProgram, MemoryStaysSmallWhateverTheFileSize) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine are not the program's";
#endif
    // Sparse inputs: 64 MiB each without using the disk.
    for (const char* name : {"one.pcm", "two.pcm"}) {
        folder.Write(name, {});
        std::filesystem::resize_file(folder.Path() / name, 64 * kChunkBytes);
    }
    for (const char* function : {"mono", "stereo", "join21"}) {
        const ProgramOutcome outcome = Cli({"-q", function, "one.pcm", "two.pcm", "out.pcm"});
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_LT(outcome.peakMemoryKiB, 16 * 1024) << function;
    }
}

TEST_F(CliProgram, WritesStraightIntoDevices) {
    folder.Write("one.pcm", SampleBytes({1, 2}));
    folder.Write("two.pcm", SampleBytes({3, 4}));
    EXPECT_EQ(Cli({"-q", "stereo", "one.pcm", "two.pcm", "/dev/null"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    if (std::filesystem::exists("/dev/full")) {
        const ProgramOutcome outcome = Cli({"join12", "one.pcm", "two.pcm", "/dev/full"});
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, "varnel-cli: Writing The Output Sound File Failed\n");
    }
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm"}));
}

TEST_F(CliProgram, AnOutputThroughASymbolicLinkReplacesTheFileItPointsTo) {
    std::filesystem::create_directory(folder.Path() / "sub");
    folder.Write("sub/target.pcm", PatternBytes(10));
    std::filesystem::create_symlink("sub/target.pcm", folder.Path() / "link.pcm");
    EXPECT_EQ(Output("join12", SampleBytes({1}), SampleBytes({2})), SampleBytes({1, 2}));  // out.pcm
    EXPECT_EQ(Cli({"-q", "join21", "one.pcm", "two.pcm", "link.pcm"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "link.pcm"));
    EXPECT_EQ(ReadBytes(folder / "sub/target.pcm"), SampleBytes({2, 1}));
}

// The run is held in the middle by an input that is a pipe, whose writer
// (this test) stops before the end; then the user presses Ctrl-C.
TEST_F(CliProgram, CtrlCLeavesTheOldOutputAndNoPartialFile) {
    const Bytes previous = PatternBytes(777);
    folder.Write("out.pcm", previous);
    folder.Write("two.pcm", PatternBytes(2 * kChunkBytes));
    ASSERT_EQ(::mkfifo((folder / "slow.pcm").c_str(), 0600), 0);

    test::ChildProcess child({"mono", "slow.pcm", "two.pcm", "out.pcm"}, folder.Path().string());
    const int pipe = ::open((folder / "slow.pcm").c_str(), O_WRONLY);  // waits for the program to open it
    ASSERT_GE(pipe, 0);
    const Bytes some = PatternBytes(4096);
    ASSERT_EQ(::write(pipe, some.data(), some.size()), static_cast<ssize_t>(some.size()));
    // Wait until the program has made its temporary file (a wait for a
    // state, not a measured time).
    auto temporaryFiles = [&] { return Entries().size() - 3; };
    for (int i = 0; i < 2000 && temporaryFiles() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(temporaryFiles(), 1u);

    child.Signal(SIGINT);
    const ProgramOutcome outcome = child.Wait();
    ::close(pipe);
    EXPECT_EQ(outcome.exitCode, 128 + SIGINT);
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), previous);
    EXPECT_EQ(Entries(), (Names{"out.pcm", "slow.pcm", "two.pcm"}));
}
#endif

}  // namespace
}  // namespace varnel
