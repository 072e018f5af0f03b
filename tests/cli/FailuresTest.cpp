// Each failure as the command line words it: every cause the file layer
// knows, for each thing done with each file, and the cases that name the
// real situation instead (a folder, the output being an input, a missing
// folder, a standard stream), as found on real files before the run.
#include "cli/Failures.h"
#include "cli/FilesBeforeRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempFolder.h"

namespace varnel::cli {
namespace {

FileProblem Problem(RunFile file, FileAction action, FileCause cause) { return {file, action, {cause, -1}}; }

// The paths with what the command line finds of them before a run.
RunPaths LookedAt(RunPaths paths) {
    paths.found = LookAtFiles(paths).found;
    return paths;
}

TEST(FailureWording, EveryCauseHasItsWordsAndCode) {
    const RunPaths paths{{"a.pcm", "b.pcm"}, "out/x.pcm"};
    const struct {
        FileCause cause;
        const char* code;
        const char* words;
    } causes[] = {
        {FileCause::generic, "generic", "the system reported an error"},
        {FileCause::fileNotFound, "not-found", "no such file"},
        {FileCause::badPath, "bad-path", "no such folder, or the name is not valid"},
        {FileCause::tooManyOpenFiles, "too-many-open-files", "too many files are open"},
        {FileCause::accessDenied, "access-denied", "permission denied"},
        {FileCause::invalidFile, "invalid-file", "not a file that can be opened"},
        {FileCause::removeCurrentDir, "current-folder", "it is the current folder"},
        {FileCause::directoryFull, "folder-full", "the folder is full"},
        {FileCause::badSeek, "bad-seek", "it cannot be positioned"},
        {FileCause::hardIO, "hard-io", "an input/output error"},
        {FileCause::sharingViolation, "in-use", "another program is using it"},
        {FileCause::lockViolation, "locked", "another program has locked part of it"},
        {FileCause::diskFull, "disk-full", "no room for it"},
        {FileCause::endOfFile, "end-of-file", "it became shorter during the run"},
    };
    for (const auto& [cause, code, words] : causes) {
        const Failure open = DescribeFileProblem(Problem(RunFile::Input(1), FileAction::Open, cause), paths);
        EXPECT_EQ(open.code, std::string("open-") + code);
        EXPECT_EQ(open.message, std::string("cannot open input 1 'a.pcm': ") + words);
        EXPECT_EQ(open.file, "input1");
        EXPECT_EQ(open.path, "a.pcm");
        const Failure read = DescribeFileProblem(Problem(RunFile::Input(2), FileAction::Read, cause), paths);
        EXPECT_EQ(read.code, std::string("read-") + code);
        EXPECT_EQ(read.message, std::string("cannot read input 2 'b.pcm': ") + words);
        const Failure write = DescribeFileProblem(Problem(RunFile::Output(), FileAction::Write, cause), paths);
        EXPECT_EQ(write.code, std::string("write-") + code);
        EXPECT_EQ(write.message, std::string("cannot write 'out/x.pcm': ") + words);
        EXPECT_EQ(write.file, "output");
    }
    // A write that failed without a cause from the system (a file that could
    // not be put in place).
    EXPECT_EQ(DescribeFileProblem(Problem(RunFile::Output(), FileAction::Write, FileCause::none), paths).message,
              "cannot write 'out/x.pcm': it could not be completed");
}

TEST(FailureWording, TheRealSituationIsNamedOnRealFiles) {
    test::TempFolder folder;
    const std::string one = folder.Write("one.pcm", {1, 2});
    std::filesystem::create_directory(folder.Path() / "d");
    const std::string d = folder / "d";
    const RunPaths paths = LookedAt({{one, d}, one});
    const Failure isFolder =
        DescribeFileProblem(Problem(RunFile::Input(2), FileAction::Open, FileCause::accessDenied), paths);
    EXPECT_EQ(isFolder.code, "open-is-folder");
    EXPECT_EQ(isFolder.message, "input 2 '" + d + "' is a folder, not a file");
    EXPECT_EQ(DescribeFileProblem(Problem(RunFile::Output(), FileAction::Open, FileCause::accessDenied),
                                  LookedAt({{one, one}, d}))
                  .message,
              "OUTPUT '" + d + "' is a folder, not a file");
    const Failure isInput =
        DescribeFileProblem(Problem(RunFile::Output(), FileAction::Open, FileCause::sharingViolation), paths);
    EXPECT_EQ(isInput.code, "open-output-is-input");
    EXPECT_EQ(isInput.message, "'" + one + "' is input 1; the output must be another file");
    const std::string sameAsOne = (folder.Path() / "." / "one.pcm").string();
    EXPECT_EQ(LookAtFiles({{d, one}, sameAsOne}).found.inputThatIsOutput, 2) << "however it is named";
    const std::string missing = folder / "nowhere/x.pcm";
    const Failure noFolder = DescribeFileProblem(Problem(RunFile::Output(), FileAction::Open, FileCause::badPath),
                                                 LookedAt({{one, one}, missing}));
    EXPECT_EQ(noFolder.message, "cannot create '" + missing + "': its folder does not exist");
    EXPECT_EQ(noFolder.code, "open-bad-path");
    const Failure stdinGone =
        DescribeFileProblem(Problem(RunFile::Input(1), FileAction::Read, FileCause::hardIO), {{"-", one}, "-"});
    EXPECT_EQ(stdinGone.message, "cannot read input 1 (standard input): an input/output error");
    const Failure stdoutGone =
        DescribeFileProblem(Problem(RunFile::Output(), FileAction::Write, FileCause::diskFull), {{"-", one}, "-"});
    EXPECT_EQ(stdoutGone.message.rfind("cannot write the standard output: no room for it", 0), 0u);
}

// Refused buffers and formats: one line each, without the window's trailing
// newline; a refusal of one file names it.
TEST(FailureWording, RefusalsHaveTheirOwnWordsAndCodes) {
    const RunPaths paths{{"a.wav", "take.wav"}, "out.wav"};
    const Failure memory = DescribeFailure(BufferRefused{3}, paths, "stereo");
    EXPECT_EQ(memory.code, "out-of-memory");
    EXPECT_EQ(memory.message, "not enough memory for sample buffer 3");
    EXPECT_EQ(memory.file, "");

    FormatRefusal bits;
    bits.problem = FormatProblem::UnreadableWav;
    bits.file = RunFile::Input(2);
    bits.wav = WavProblem::NotSixteenBits;
    bits.bitsPerSample = 24;
    const Failure refused = DescribeFailure(bits, paths, "mono");
    EXPECT_EQ(refused.code, "refused");
    EXPECT_EQ(refused.message, "input 2 (take.wav) holds 24-bit samples; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: "
              "convert it first (sox take.wav -b 16 take-16bit.wav)");
    EXPECT_EQ(refused.file, "input2");
    EXPECT_EQ(refused.path, "take.wav");

    FormatRefusal channels;
    channels.problem = FormatProblem::ChannelCountsDiffer;
    channels.file = RunFile::Input(1);
    channels.other = RunFile::Input(2);
    channels.channels = 1;
    channels.otherChannels = 2;
    const Failure differ = DescribeFailure(channels, paths, "join21");
    EXPECT_EQ(
        differ.message,
        "join21 needs inputs of equal channel counts: input 1 (a.wav) has 1 channel, input 2 (take.wav) 2 channels");
    EXPECT_EQ(differ.file, "") << "two inputs compared";
    EXPECT_FALSE(IsUsageProblem(channels));

    FormatRefusal rate;
    rate.problem = FormatProblem::RateNeeded;
    rate.file = RunFile::Output();
    EXPECT_TRUE(IsUsageProblem(rate));
}

// The commands of the advice write a file that exists nowhere yet and is
// none of the run's, whichever converter they name.
TEST(FailureWording, TheAdviceWritesANewFileNeverAnInputOrAnExistingOne) {
    test::TempFolder folder;
    const std::string flac = folder.Write("a.flac", {1}), wav = folder.Write("a.wav", {1});
    folder.Write("a-16bit.wav", {1});
    const std::string output = folder / "a-16bit-2.wav";  // not made yet
    const RunPaths paths{{flac, wav}, output};
    FormatRefusal refusal;
    refusal.problem = FormatProblem::OtherContainer;
    refusal.file = RunFile::Input(1);
    refusal.container = ForeignContainer::Flac;
    const std::string newFile = folder / "a-16bit-3.wav";
    EXPECT_EQ(DescribeFailure(refusal, paths, "mono").message,
              "input 1 (" + flac + ") is a FLAC file; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: "
              "convert it first (sox " + flac + " -b 16 " + newFile + "), or give --raw to take its bytes as samples");

    refusal.problem = FormatProblem::NotAsNamed;
    const std::string mp3 = folder / "a.MP3";
    EXPECT_EQ(DescribeFailure(refusal, {{mp3, wav}, output}, "mono").message,
              "input 1 (" + mp3 + ") is named as an MP3 file; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV "
              "files: convert it first (ffmpeg -i " + mp3 + " -c:a pcm_s16le " + newFile + "), or give --raw to take "
              "its bytes as samples");
    EXPECT_EQ(DescribeFailure(refusal, {{wav, flac}, output}, "mono").message,
              "input 1 (" + wav + ") holds no WAV header; --raw reads it as raw samples");

    refusal.problem = FormatProblem::RatesDiffer;
    refusal.other = RunFile::Input(2);
    refusal.rate = 22050;
    refusal.otherRate = 8000;
    EXPECT_EQ(DescribeFailure(refusal, {{flac, wav}, folder / "a-22050hz.wav"}, "mono").message,
              "the inputs' rates differ: input 1 (" + flac + ") 22050 Hz, input 2 (" + wav + ") 8000 Hz; convert one "
              "first (sox " + wav + " -r 22050 " + folder / "a-22050hz-2.wav" + ")");
    refusal.problem = FormatProblem::StereoNeedsOneChannel;
    refusal.other = {};
    refusal.channels = 2;
    EXPECT_EQ(DescribeFailure(refusal, {{wav, flac}, output}, "stereo").message,
              "stereo needs two one-channel inputs: input 1 (" + wav + ") has 2 channels; convert it first (sox " +
                  wav + " -c 1 " + folder / "a-mono.wav" + ")");
    EXPECT_EQ(DescribeFailure(refusal, {{"-", flac}, output}, "stereo").message,
              "stereo needs two one-channel inputs: input 1 (-) has 2 channels; convert it first "
              "(sox -t wav - -c 1 -t wav -)");
}

}  // namespace
}  // namespace varnel::cli
