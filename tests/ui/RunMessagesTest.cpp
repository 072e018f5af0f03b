// The window's texts for each failure of a run, their number and order.
#include "ui/RunMessages.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

using Texts = std::vector<std::string>;

FileProblem Problem(RunFile file, FileAction action, FileCause cause) { return {file, action, {cause, 5}}; }

TEST(RunMessages, InputsThatCannotBeOpenedOrRead) {
    for (const int input : {1, 2}) {
        const std::string name = "Sound File " + std::to_string(input);
        const RunFile file = RunFile::Input(input);
        EXPECT_EQ(WindowTexts(Problem(file, FileAction::Open, FileCause::fileNotFound)), Texts{name + " Not Found"});
        for (const FileCause cause : {FileCause::badPath, FileCause::accessDenied, FileCause::sharingViolation,
                                      FileCause::generic, FileCause::none}) {
            EXPECT_EQ(WindowTexts(Problem(file, FileAction::Open, cause)), Texts{"Opening " + name + " Failed"});
        }
        EXPECT_EQ(WindowTexts(Problem(file, FileAction::Read, FileCause::hardIO)),
                  Texts{"Reading " + name + " Failed"});
    }
}

// A failed output open shows its cause's text, if it has one, and then the
// closing text; endOfFile alone is shown instead of the closing text.
TEST(RunMessages, AnOutputThatCannotBeCreatedShowsOneOrTwoBoxes) {
    const std::string notCreated = "The Output Sound File was not created";
    const struct {
        FileCause cause;
        Texts texts;
    } cases[] = {
        {FileCause::none, {notCreated}},
        {FileCause::generic, {"generic", notCreated}},
        {FileCause::fileNotFound, {notCreated}},
        {FileCause::badPath, {"badPath ", notCreated}},
        {FileCause::tooManyOpenFiles, {"tooManyOpenFiles ", notCreated}},
        {FileCause::accessDenied, {"accessDenied ", notCreated}},
        {FileCause::invalidFile, {"invalidFile", notCreated}},
        {FileCause::removeCurrentDir, {"removeCurrentDir ", notCreated}},
        {FileCause::directoryFull, {"directoryFull ", notCreated}},
        {FileCause::badSeek, {"Error Set Pointer", notCreated}},
        {FileCause::hardIO, {"IO Error", notCreated}},
        {FileCause::sharingViolation, {"sharingViolation ", notCreated}},
        {FileCause::lockViolation, {"lockViolation ", notCreated}},
        {FileCause::diskFull, {"diskFull ", notCreated}},
        {FileCause::endOfFile, {"endOfFile"}},
    };
    for (const auto& [cause, texts] : cases) {
        EXPECT_EQ(WindowTexts(Problem(RunFile::Output(), FileAction::Open, cause)), texts) << static_cast<int>(cause);
    }
    EXPECT_EQ(WindowTexts(Problem(RunFile::Output(), FileAction::Write, FileCause::diskFull)),
              Texts{"Writing The Output Sound File Failed"});
}

TEST(RunMessages, RefusedBuffersEndInANewline) {
    for (const int buffer : {1, 2, 3}) {
        EXPECT_EQ(WindowTexts(BufferRefused{buffer}),
                  Texts{"Insufficient memory available for buffer " + std::to_string(buffer) + "\n"});
    }
}

// A sound file the window cannot use is named with the path the user gave,
// and what it holds is said in a sentence of its own.
TEST(RunMessages, ARefusedSoundFileIsNamedWithWhatItHolds) {
    const WindowRunPaths paths{"c:\\take.wav", "d:\\two.wav", "c:\\mix.wav", ProcessFunction::Join2To1};
    const std::string readable = "Varnel reads raw 16-bit samples and 16-bit PCM WAV files: convert it first.";
    FormatRefusal refusal;
    refusal.file = RunFile::Input(1);
    refusal.wav = WavProblem::NotSixteenBits;
    refusal.bitsPerSample = 24;
    EXPECT_EQ(WindowTexts(refusal, paths), Texts{"Sound File 1 (c:\\take.wav) holds 24-bit samples; " + readable});
    refusal.wav = WavProblem::NotPcm;
    refusal.formatTag = 0x55;
    EXPECT_EQ(WindowTexts(refusal, paths),
              Texts{"Sound File 1 (c:\\take.wav) holds compressed samples (WAV format 0x0055); " + readable});

    refusal.problem = FormatProblem::DamagedRiffHeader;
    EXPECT_EQ(WindowTexts(refusal, paths),
              Texts{"Sound File 1 (c:\\take.wav) is a WAV file whose header is damaged (as by a text conversion)."});

    refusal.problem = FormatProblem::ChannelCountsDiffer;
    refusal.other = RunFile::Input(2);
    refusal.channels = 2;
    refusal.otherChannels = 1;
    EXPECT_EQ(WindowTexts(refusal, paths),
              Texts{"Join File2 --> File 1 needs sound files of equal channel counts: Sound File 1 (c:\\take.wav) "
                    "has 2 channels, Sound File 2 (d:\\two.wav) 1 channel."});
}

}  // namespace
}  // namespace varnel
