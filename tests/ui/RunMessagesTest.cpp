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

TEST(RunMessages, ARefusedFormatStillNamesTheFile) {
    FormatRefusal refusal;
    refusal.file = RunFile::Input(2);
    EXPECT_EQ(WindowTexts(refusal), Texts{"Opening Sound File 2 Failed"});
    refusal.file = RunFile::Output();
    EXPECT_EQ(WindowTexts(refusal), Texts{"The Output Sound File was not created"});
}

}  // namespace
}  // namespace varnel
