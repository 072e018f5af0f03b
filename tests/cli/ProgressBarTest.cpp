#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ConsoleObserver.h"
#include "cli/FilesBeforeRun.h"

namespace varnel::cli {
namespace {

using std::chrono::duration;

TEST(ProgressBar, LineShowsPercentageBytesThroughputAndTimeLeft) {
    EXPECT_EQ(FormatProgressLine(64u << 20, 256u << 20, duration<double>(0.5)),
              " 25% [#####               ] 64.0 MiB of 256.0 MiB, 128.0 MiB/s, 0:02 left");
    EXPECT_EQ(FormatProgressLine(256u << 20, 256u << 20, duration<double>(2.0)),
              "100% [####################] 256.0 MiB of 256.0 MiB, 128.0 MiB/s");
    EXPECT_EQ(FormatProgressLine(0, 0, duration<double>(0.0)), "  0% [                    ] 0 B of 0 B, 0 B/s");
    const std::string slow = FormatProgressLine(1u << 20, 8000ull << 20, duration<double>(1.0));
    EXPECT_NE(slow.find(", 1.0 MiB/s, 2:13:19 left"), std::string::npos) << slow;
}

TEST(ProgressBar, BytesInBinaryUnits) {
    EXPECT_EQ(FormatBytes(512), "512 B");
    EXPECT_EQ(FormatBytes(3072), "3.0 KiB");
    EXPECT_EQ(FormatBytes(1.5 * (1 << 30)), "1.5 GiB");
}

TEST(ProgressBar, StaysSilentForShortRunsAndWhenNotShown) {
    std::ostringstream err;
    ProgressBar hidden(err, false, true);
    hidden.Update(1, 2);
    ProgressBar delayed(err, true, false, std::chrono::hours(1));
    delayed.Update(1, 2);
    delayed.Clear();
    EXPECT_EQ(err.str(), "");
}

TEST(ProgressBar, IsTakenOffTheLineBeforeAMessage) {
    std::ostringstream err;
    ProgressBar bar(err, true, true);
    const RunPaths paths{{"a.pcm", "b.pcm"}, "out.pcm"};
    const std::string function = "mono";
    ConsoleObserver observer(err, bar, paths, function);
    observer.ShowProgress(100, 100);
    const std::string drawn = err.str();
    EXPECT_EQ(drawn.substr(0, 6), "\r100% ");
    observer.ReportFailure(FileProblem{RunFile::Input(2), FileAction::Read, {FileCause::hardIO, 5}});
    observer.ReportFailure(BufferRefused{1});
    EXPECT_EQ(err.str().substr(drawn.size()), "\r" + std::string(drawn.size() - 1, ' ') + "\r" +
                                                  "varnel-cli: cannot read input 2 'b.pcm': an input/output error\n"
                                                  "varnel-cli: not enough memory for sample buffer 1\n");
    ASSERT_EQ(observer.Failures().size(), 2u);
    EXPECT_EQ(observer.Failures()[0].code, "read-hard-io");
    EXPECT_EQ(observer.Failures()[0].file, "input2");
    EXPECT_EQ(observer.Failures()[1].code, "out-of-memory");
}

TEST(ProgressBar, WithoutAKnownTotalShowsBytesDoneAndTheRate) {
    EXPECT_EQ(FormatProgressLine(30u << 20, std::nullopt, std::chrono::duration<double>(2.0)),
              "30.0 MiB done, 15.0 MiB/s");
    std::ostringstream err;
    ProgressBar bar(err, true, true);
    bar.TotalUnknown();
    bar.Update(3u << 20, 0);
    EXPECT_EQ(err.str().find("%"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("3.0 MiB done"), std::string::npos) << err.str();
}

// The window's texts end in a blank or a newline ("badPath ", "... buffer
// 3\n"); the command line's lines never do.
TEST(ProgressBar, FailuresAreWholeLinesWithoutTrailingBlanks) {
    std::ostringstream err;
    ProgressBar bar(err, false, false);
    RunPaths paths{{"a.pcm", "b.pcm"}, "nowhere/out.pcm"};
    paths.found = LookAtFiles(paths).found;
    const std::string function = "stereo";
    ConsoleObserver observer(err, bar, paths, function);
    observer.ReportFailure(FileProblem{RunFile::Output(), FileAction::Open, {FileCause::badPath, 2}});
    observer.ReportFailure(BufferRefused{3});
    EXPECT_EQ(err.str(),
              "varnel-cli: cannot create 'nowhere/out.pcm': its folder does not exist\n"
              "varnel-cli: not enough memory for sample buffer 3\n");
}

}  // namespace
}  // namespace varnel::cli
