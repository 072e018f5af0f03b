// The real program, run as a child process on real files: output bytes,
// exit statuses and the texts on stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <thread>

#include "ChildProcess.h"
#include "support/ExpectedOutput.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
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
        // Quiet, but for mono's warning when it clipped.
        const bool warned = function == "mono" && outcome.err.rfind("varnel-cli: warning: ", 0) == 0 &&
                            outcome.err.find('\n') == outcome.err.size() - 1;
        EXPECT_EQ(warned ? "" : outcome.err, "");
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
    const std::vector<std::pair<std::size_t, std::size_t>> sizes{{0, 0},
                                                                 {0, 6},
                                                                 {5, 8},
                                                                 {9, 7},
                                                                 {kChunkBytes - 1, kChunkBytes + 1},
                                                                 {kChunkBytes, kChunkBytes},
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
    // Said even when quiet, on a line of its own, with the way out.
    EXPECT_EQ(Cli({"-q", "mono", "one.pcm", "two.pcm", "out.pcm"}).err,
              "varnel-cli: warning: 3 of 5 samples clipped (60.0%); --average mixes without clipping\n");
    const ProgramOutcome averaged = Cli({"--average", "mono", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(averaged.exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), SampleBytes({20000, -20000, 25, 16384, -16384}));
    EXPECT_EQ(averaged.err,
              "varnel-cli: mono: input 1 5 samples (raw), input 2 5 samples (raw), output 5 samples (raw), the inputs' "
              "mean\n");
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
    const std::vector<std::vector<std::string>> wrong{{},
                                                      {"mono", "one.pcm", "one.pcm"},
                                                      {"mix", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"stereo", "one.pcm", "one.pcm", "out.pcm", "extra.pcm"},
                                                      {"--loud", "mono", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"--pad", "join12", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"-q", "--progress", "mono", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"--pad=yes", "mono", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"--json=false", "mono", "one.pcm", "one.pcm", "out.pcm"},
                                                      {"mono", "-dash.pcm", "one.pcm", "out.pcm"}};
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
    EXPECT_EQ(Cli({"--json=false", "mono", "one.pcm", "one.pcm", "out.pcm"}).err,
              "varnel-cli: --json takes no value (--json=false)\nRun 'varnel-cli --help' for the usage.\n");
    EXPECT_EQ(Cli({"mono", "-dash.pcm", "one.pcm", "out.pcm"}).err,
              "varnel-cli: unknown option '-dash.pcm' (a file named so is written ./-dash.pcm, or after --)\n"
              "Run 'varnel-cli --help' for the usage.\n");
    // As the hint says.
    folder.Write("-dash.pcm", SampleBytes({2}));
    EXPECT_EQ(Cli({"-q", "mono", "./-dash.pcm", "one.pcm", "out.pcm"}).exitCode, 0);
    EXPECT_EQ(Cli({"-q", "mono", "--", "-dash.pcm", "one.pcm", "out.pcm"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), SampleBytes({3}));
}

TEST_F(CliProgram, HelpAndVersionGoToStdout) {
    const ProgramOutcome help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: varnel-cli [OPTIONS] FUNCTION INPUT... OUTPUT"), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("join21"), std::string::npos);
    EXPECT_EQ(Cli({"-h"}).out, help.out);
    EXPECT_EQ(Cli({"/?"}).out, help.out);
    EXPECT_EQ(Cli({"-?"}).out, help.out);
    // One screen of a console, 24 lines of 80 columns, none of them wrapped
    // (a line of 80 wraps before its newline).
    EXPECT_LT(std::count(help.out.begin(), help.out.end(), '\n'), 24);
    std::size_t start = 0;
    for (std::size_t end = help.out.find('\n'); end != std::string::npos; end = help.out.find('\n', start = end + 1))
        EXPECT_LT(end - start, 80u) << help.out.substr(start, end - start);
#ifdef _WIN32
    EXPECT_NE(help.out.find("README.txt"), std::string::npos);
#else
    EXPECT_NE(help.out.find("man varnel-cli"), std::string::npos);
#endif
    const ProgramOutcome version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "varnel-cli " VARNEL_PROJECT_VERSION "\n");
}

TEST_F(CliProgram, RunFailuresNameTheFileAndSayWhyOnePerLineAndExitWith1) {
    folder.Write("one.pcm", SampleBytes({1, 2}));
    folder.Write("two.pcm", SampleBytes({3, 4}));
    std::filesystem::create_directory(folder.Path() / "sub");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"mono", "missing.pcm", "also-missing.pcm", "out.pcm"},
         "varnel-cli: cannot open input 1 'missing.pcm': no such file\n"
         "varnel-cli: cannot open input 2 'also-missing.pcm': no such file\n"},
        // Every file the run would have refused, as far as it can tell without touching any.
        {{"mono", "missing.pcm", "sub", "nowhere/out.pcm"},
         "varnel-cli: cannot open input 1 'missing.pcm': no such file\n"
         "varnel-cli: input 2 'sub' is a folder, not a file\n"
         "varnel-cli: cannot create 'nowhere/out.pcm': its folder does not exist\n"},
        {{"join12", "one.pcm", "missing.pcm", "one.pcm"},
         "varnel-cli: cannot open input 2 'missing.pcm': no such file\n"
         "varnel-cli: 'one.pcm' is input 1; the output must be another file\n"},
        {{"join12", "missing.pcm", "two.pcm", "sub"},
         "varnel-cli: cannot open input 1 'missing.pcm': no such file\n"
         "varnel-cli: OUTPUT 'sub' is a folder, not a file\n"},
        {{"stereo", "one.pcm", "missing.pcm", "out.pcm"},
         "varnel-cli: cannot open input 2 'missing.pcm': no such file\n"},
        {{"join12", "sub", "two.pcm", "out.pcm"}, "varnel-cli: input 1 'sub' is a folder, not a file\n"},
        {{"mono", "one.pcm", "two.pcm", "nowhere/out.pcm"},
         "varnel-cli: cannot create 'nowhere/out.pcm': its folder does not exist\n"},
        {{"mono", "one.pcm", "two.pcm", "sub"}, "varnel-cli: OUTPUT 'sub' is a folder, not a file\n"},
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

TEST_F(CliProgram, OneFileMayBeBothInputs) {
    const Bytes one = SampleBytes({1000, -20000, 30000});
    folder.Write("one.pcm", one);
    for (const char* other : {"one.pcm", "./one.pcm"}) {
        ASSERT_EQ(Cli({"-q", "mono", "one.pcm", other, "out.pcm"}).exitCode, 0) << other;
        EXPECT_EQ(ReadBytes(folder / "out.pcm"), SampleBytes({2000, -32768, 32767})) << other;
        ASSERT_EQ(Cli({"-q", "join12", "one.pcm", other, "out.pcm"}).exitCode, 0) << other;
        EXPECT_EQ(ReadBytes(folder / "out.pcm"), test::Concatenated(one, one)) << other;
    }
    EXPECT_EQ(ReadBytes(folder / "one.pcm"), one);
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
        const bool isInput1 =
            output.find("one") != std::string::npos || output.find("ONE") != std::string::npos || output == "soft.pcm";
        EXPECT_EQ(outcome.err, "varnel-cli: '" + output + "' is input " + (isInput1 ? "1" : "2") +
                                   "; the output must be another file\n")
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
    // A read that fails while the input's format is judged, before the
    // output is opened, and one that fails half-way, after it was opened
    // (a raw input is not judged): each names the file and the cause.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"join21", "/proc/self/mem", "one.pcm", "out.pcm"},
          std::vector<std::string>{"--raw", "join21", "/proc/self/mem", "one.pcm", "out.pcm"}}) {
        const ProgramOutcome outcome = Cli(arguments);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err, "varnel-cli: cannot read input 1 '/proc/self/mem': an input/output error\n");
    }
    const ProgramOutcome json = Cli({"--json", "join12", "/proc/self/mem", "one.pcm", "out.pcm"});
    EXPECT_NE(json.out.find("{\"code\":\"read-hard-io\",\"message\":\"cannot read input 1 '/proc/self/mem': an "
                            "input/output error\",\"file\":\"input1\",\"path\":\"/proc/self/mem\"}"),
              std::string::npos)
        << json.out;
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
              "varnel-cli: mono: input 1 3 samples and 1 byte (raw), input 2 2 samples (raw), output 2 samples (raw), "
              "1 sample clipped\n"
              "varnel-cli: note: input 1 ends in an odd byte, which was not used\n"
              "varnel-cli: note: the last sample of input 1 was not used (--pad covers it)\n"
              "varnel-cli: warning: 1 of 2 samples clipped (50.0%); --average mixes without clipping\n");
    outcome = Cli({"--pad", "stereo", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.err,
              "varnel-cli: stereo: input 1 3 samples and 1 byte (raw), input 2 2 samples (raw), output 3 stereo frames "
              "(raw), shorter input padded with silence\n"
              "varnel-cli: note: input 1 ends in an odd byte, which was not used\n");
    outcome = Cli({"join12", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.err,
              "varnel-cli: join12: input 1 3 samples and 1 byte (raw), input 2 2 samples (raw), output 5 samples and 1 "
              "byte (raw)\n"
              "varnel-cli: note: input 1 ends in an odd byte, copied as it is; the samples of input 2 after it are "
              "one byte out of step\n");
}

TEST_F(CliProgram, JsonPrintsTheSummaryOnStdoutForScripts) {
    folder.Write("one.pcm", SampleBytes({30000, 30000, 1}));
    folder.Write("two.pcm", Bytes{0x30, 0x75, 9});
    ProgramOutcome outcome = Cli({"--json", "-q", "mono", "one.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.err.rfind("varnel-cli: warning: 1 of 1 sample clipped (100.0%)", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.out,
              "{\"version\":\"" VARNEL_PROJECT_VERSION
              "\",\"function\":\"mono\",\"succeeded\":true,\"padded\":false,"
              "\"input1\":{\"path\":\"one.pcm\",\"bytes\":6,\"samples\":3,\"oddByte\":false,\"unusedSamples\":2,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
              "\"input2\":{\"path\":\"two.pcm\",\"bytes\":3,\"samples\":1,\"oddByte\":true,\"unusedSamples\":0,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
              "\"output\":{\"path\":\"out.pcm\",\"bytes\":2,\"samples\":1,\"format\":\"raw\"},\"clippedSamples\":1,"
              "\"averaged\":false,\"inputs\":[{\"path\":\"one.pcm\",\"bytes\":6,\"samples\":3,\"oddByte\":false,"
                           "\"unusedSamples\":2,\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
                           "{\"path\":\"two.pcm\",\"bytes\":3,\"samples\":1,\"oddByte\":true,\"unusedSamples\":0,"
                           "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"}]}\n");
    // A failure: the paths as given, each failure's code and text.
    outcome = Cli({"--json", "mono", "missing.pcm", "two.pcm", "out.pcm"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.out, "{\"version\":\"" VARNEL_PROJECT_VERSION
                           "\",\"function\":\"mono\",\"succeeded\":false,"
                           "\"input1\":{\"path\":\"missing.pcm\"},\"input2\":{\"path\":\"two.pcm\"},"
                           "\"output\":{\"path\":\"out.pcm\"},\"failures\":[{\"code\":\"open-not-found\","
                           "\"message\":\"cannot open input 1 'missing.pcm': no such file\",\"file\":\"input1\","
                           "\"path\":\"missing.pcm\"}],\"inputs\":[{\"path\":\"missing.pcm\"},{\"path\":\"two.pcm\"}]}\n");
    EXPECT_EQ(outcome.err, "varnel-cli: cannot open input 1 'missing.pcm': no such file\n");
    // A wrong command line prints no JSON.
    outcome = Cli({"--json", "mono", "missing.pcm", "two.pcm"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.out, "");
}

TEST_F(CliProgram, QuietLeavesOnlyFailuresAndTheProgressBarIsShownWhenForced) {
    folder.Write("one.pcm", PatternBytes(3 * kChunkBytes));
    folder.Write("two.pcm", PatternBytes(kChunkBytes));
    EXPECT_EQ(Cli({"-q", "join12", "one.pcm", "two.pcm", "out.pcm"}).err, "");
    EXPECT_EQ(Cli({"--quiet", "mono", "one.pcm", "missing.pcm", "out.pcm"}).err,
              "varnel-cli: cannot open input 2 'missing.pcm': no such file\n");
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
    EXPECT_EQ(outcome.err.rfind("varnel-cli: cannot create '': ", 0), 0u) << outcome.err;
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
        EXPECT_EQ(outcome.err,
                  "varnel-cli: cannot write '/dev/full': no room for it\n");
    }
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm"}));
}

TEST_F(CliProgram, AnOutputThroughASymbolicLinkWritesTheFileItPointsToEvenANewOne) {
    std::filesystem::create_directory(folder.Path() / "sub");
    folder.Write("sub/target.pcm", PatternBytes(10));
    std::filesystem::create_symlink("sub/target.pcm", folder.Path() / "link.pcm");
    std::filesystem::create_symlink("sub/new.pcm", folder.Path() / "dangling.pcm");
    std::filesystem::create_symlink("new2.pcm", folder.Path() / "sub/dangling2.pcm");  // relative to sub
    std::filesystem::create_symlink("missing/new.pcm", folder.Path() / "nowhere.pcm");
    EXPECT_EQ(Output("join12", SampleBytes({1}), SampleBytes({2})), SampleBytes({1, 2}));  // out.pcm
    for (const char* link : {"link.pcm", "dangling.pcm", "sub/dangling2.pcm"}) {
        EXPECT_EQ(Cli({"-q", "join21", "one.pcm", "two.pcm", link}).exitCode, 0) << link;
        EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / link)) << link;
    }
    EXPECT_EQ(ReadBytes(folder / "sub/target.pcm"), SampleBytes({2, 1}));
    EXPECT_EQ(ReadBytes(folder / "sub/new.pcm"), SampleBytes({2, 1}));
    EXPECT_EQ(ReadBytes(folder / "sub/new2.pcm"), SampleBytes({2, 1}));
    const ProgramOutcome outcome = Cli({"join21", "one.pcm", "two.pcm", "nowhere.pcm"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err, "varnel-cli: cannot create 'nowhere.pcm': no such folder, or the name is not valid\n");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "nowhere.pcm"));
}

TEST_F(CliProgram, AnyNameTheFileSystemTakesWorksAsOutput) {
    folder.Write("one.pcm", SampleBytes({1}));
    folder.Write("two.pcm", SampleBytes({2}));
    for (const std::size_t length : {227u, 241u, 255u}) {  // the longest a name may be here
        const std::string name = std::string(length - 4, 'n') + ".pcm";
        EXPECT_EQ(Cli({"-q", "join12", "one.pcm", "two.pcm", name}).exitCode, 0) << length;
        EXPECT_EQ(ReadBytes(folder / name), SampleBytes({1, 2})) << length;
        EXPECT_EQ(Cli({"-q", "join21", "one.pcm", "two.pcm", name}).exitCode, 0) << length << ", replaced";
        EXPECT_EQ(ReadBytes(folder / name), SampleBytes({2, 1})) << length << ", replaced";
        std::filesystem::remove(folder.Path() / name);
    }
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm"}));
}

TEST_F(CliProgram, AReplacedOutputKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    folder.Write("out.pcm", PatternBytes(10));
    ASSERT_EQ(::chown((folder / "out.pcm").c_str(), 4242, 4343), 0);
    ASSERT_EQ(::chmod((folder / "out.pcm").c_str(), 02640), 0);  // set-group-ID, which a chown would clear
    EXPECT_EQ(Output("join12", SampleBytes({1}), SampleBytes({2})), SampleBytes({1, 2}));
    struct stat status {};
    ASSERT_EQ(::stat((folder / "out.pcm").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4242u);
    EXPECT_EQ(status.st_gid, 4343u);
    EXPECT_EQ(status.st_mode & 07777, 02640u);
}

TEST_F(CliProgram, AFileSizeLimitEndsAsAFailedWriteAndLeavesNothing) {
    const Bytes previous = PatternBytes(999, 9);
    folder.Write("out.pcm", previous);
    folder.Write("one.pcm", PatternBytes(3 * kChunkBytes));
    folder.Write("two.pcm", PatternBytes(10));
    test::ChildSetup limited;
    limited.fileSizeLimit = kChunkBytes + 100;
    const ProgramOutcome outcome =
        test::RunCliProgram({"join12", "one.pcm", "two.pcm", "out.pcm"}, folder.Path().string(), limited);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(
        outcome.err,
        "varnel-cli: cannot write 'out.pcm': the file would be too large\n");
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), previous);
    EXPECT_EQ(Entries(), (Names{"one.pcm", "two.pcm", "out.pcm"}));
}

TEST_F(CliProgram, AJsonReportThatCannotBeWrittenIsAFailure) {
    folder.Write("one.pcm", SampleBytes({1}));
    folder.Write("two.pcm", SampleBytes({2}));
    test::ChildSetup full, closed;
    full.stdoutPath = "/dev/full";
    closed.stdoutClosed = true;
    for (const test::ChildSetup* setup : {&full, &closed}) {
        const ProgramOutcome outcome = test::RunCliProgram({"--json", "-q", "join12", "one.pcm", "two.pcm", "out.pcm"},
                                                           folder.Path().string(), *setup);
        EXPECT_EQ(outcome.exitCode, 1) << setup->stdoutClosed;
        EXPECT_EQ(outcome.err, "varnel-cli: the JSON report could not be written to standard output\n");
        EXPECT_EQ(ReadBytes(folder / "out.pcm"), SampleBytes({1, 2})) << "the run itself went well";
    }
}

// Holds a run in the middle: input 1 is the pipe slow.pcm, whose writer
// (this test) sends some bytes and stops. Once the program has read them it
// has opened its output (a run opens every file before it reads), and it
// waits for more.
class HeldRun {
public:
    HeldRun(const TempFolder& folder, const std::vector<std::string>& arguments, const Bytes& some) {
        const std::string pipe = folder / "slow.pcm";
        std::filesystem::remove(pipe);
        EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        child = std::make_unique<test::ChildProcess>(arguments, folder.Path().string());
        m_pipe = ::open(pipe.c_str(), O_WRONLY);  // waits for the program to open it
        EXPECT_GE(m_pipe, 0);
        EXPECT_EQ(::write(m_pipe, some.data(), some.size()), static_cast<ssize_t>(some.size()));
        // A wait for a state, not a measured time: the pipe emptied.
        int pending = 1;
        for (int i = 0; i < 2000 && ::ioctl(m_pipe, FIONREAD, &pending) == 0 && pending > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(pending, 0);
    }
    ~HeldRun() { EndInput(); }
    HeldRun(const HeldRun&) = delete;
    HeldRun& operator=(const HeldRun&) = delete;

    void EndInput() {
        if (m_pipe >= 0) ::close(m_pipe);
        m_pipe = -1;
    }

    std::unique_ptr<test::ChildProcess> child;

private:
    int m_pipe = -1;
};

// Ctrl-C and its kin are caught; SIGKILL, SIGQUIT and a crash are not, and
// the file being written, which has no name until the run succeeds, goes
// with the process.
TEST_F(CliProgram, AnInterruptedKilledOrCrashedRunLeavesTheOldOutputAndNothingElse) {
    const Bytes previous = PatternBytes(777);
    folder.Write("out.pcm", previous);
    folder.Write("two.pcm", PatternBytes(2 * kChunkBytes));
    const Names before{"out.pcm", "slow.pcm", "two.pcm"};
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL, SIGQUIT, SIGSEGV}) {
        HeldRun run(folder, {"mono", "slow.pcm", "two.pcm", "out.pcm"}, PatternBytes(4096));
        EXPECT_EQ(Entries(), before) << "no name while it is written";
        run.child->Signal(signal);
        const ProgramOutcome outcome = run.child->Wait();
#ifdef __SANITIZE_ADDRESS__
        // AddressSanitizer catches SIGSEGV itself, reports and exits with 1.
        if (signal != SIGSEGV) {
            EXPECT_EQ(outcome.exitCode, 128 + signal);
        }
#else
        EXPECT_EQ(outcome.exitCode, 128 + signal);
#endif
        EXPECT_EQ(ReadBytes(folder / "out.pcm"), previous) << signal;
        EXPECT_EQ(Entries(), before) << signal;
    }
}

TEST_F(CliProgram, TheReportGivesWhatWasReadFromAPipeAndFromAnInputThatShrank) {
    folder.Write("two.pcm", PatternBytes(2 * kChunkBytes));
    const Bytes some = PatternBytes(4096);
    HeldRun run(folder, {"--json", "mono", "slow.pcm", "two.pcm", "out.pcm"}, some);
    std::filesystem::resize_file(folder.Path() / "two.pcm", 1000);
    run.EndInput();
    const ProgramOutcome outcome = run.child->Wait();
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), test::ExpectedMono(some, PatternBytes(1000)));
    EXPECT_NE(
        outcome.out.find(
            "\"input1\":{\"path\":\"slow.pcm\",\"bytes\":4096,\"samples\":2048,\"oddByte\":false,\"unusedSamples\":"
            "1548,"
            "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
            "\"input2\":{\"path\":\"two.pcm\",\"bytes\":1000,\"samples\":500,\"oddByte\":false,\"unusedSamples\":0,"
            "\"lengthChanged\":true,\"lengthKnown\":true,\"format\":\"raw\"}"),
        std::string::npos)
        << outcome.out;
    EXPECT_EQ(outcome.err.find(
                  "varnel-cli: mono: input 1 2048 samples (raw), input 2 500 samples (raw), output 500 samples (raw)"),
              0u)
        << outcome.err;
    EXPECT_NE(outcome.err.find("\nvarnel-cli: note: input 2 changed length during the run; the length above is what "
                               "the run found\n"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("\nvarnel-cli: note: the last 1548 samples of input 1 were not used"), std::string::npos)
        << outcome.err;

    // A stream that never ends is read only as far as the run needs it.
    const std::string endless = Cli({"mono", "/dev/zero", "two.pcm", "out.pcm"}).err;
    EXPECT_NE(endless.find(": input 1 at least "), std::string::npos) << endless;
    EXPECT_NE(endless.find("\nvarnel-cli: note: input 1 was not read to its end, so its length is not known\n"),
              std::string::npos)
        << endless;
}
#else
// Killed while it writes (TerminateProcess, as the Task Manager does): the
// file being written is marked for deletion, so the system removes it with
// the process. The run is held in the middle by input 1, a named pipe that
// this test feeds a little and then no more.
TEST_F(CliProgram, AKilledRunLeavesTheOldOutputAndNothingElse) {
    const Bytes previous = PatternBytes(777);
    folder.Write("out.pcm", previous);
    folder.Write("two.pcm", PatternBytes(2 * kChunkBytes));
    const std::string pipeName = "\\\\.\\pipe\\varnel-test-" + std::to_string(GetCurrentProcessId());
    // A pipe buffer smaller than what is written: the write returns only once
    // the program has read, and it reads only once it has made and marked
    // the output (a wait for a state, not a measured time).
    constexpr DWORD kPipeBuffer = 4096;
    const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                         kPipeBuffer, kPipeBuffer, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    test::ChildProcess child({"mono", pipeName, "two.pcm", "out.pcm"}, folder.Path().string());
    EXPECT_TRUE(ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED);
    const Bytes some = PatternBytes(16 * kPipeBuffer);  // less than a chunk: the program waits for more
    DWORD written = 0;
    const bool fed = WriteFile(pipe, some.data(), static_cast<DWORD>(some.size()), &written, nullptr);
    EXPECT_EQ(Entries().size(), 3u) << "the temporary file, beside OUTPUT";

    child.Kill();
    const ProgramOutcome outcome = child.Wait();
    EXPECT_TRUE(fed) << outcome.err;
    CloseHandle(pipe);
    EXPECT_EQ(ReadBytes(folder / "out.pcm"), previous);
    EXPECT_EQ(Entries(), (Names{"out.pcm", "two.pcm"}));
}
#endif

}  // namespace
}  // namespace varnel
