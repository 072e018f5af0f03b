// The editor entry read back whole from real settings files, the editor's
// command line, and real processes started from it (the stand-in editor).
#include "StandInEditor.h"
#include "editor/SoundEditorLaunch.h"
#include "editor/SoundEditorSetting.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace varnel {
namespace {

std::string WriteIni(const test::TempFolder& folder, const std::string& text) {
    return folder.Write("varnel.ini", test::Bytes(text.begin(), text.end()));
}

TEST(EditorEntryRead, MissingFileOrEntryReadsAsNoSuchProgram) {
    test::TempFolder folder;
    EXPECT_EQ(ReadSoundEditorSetting(folder / "varnel.ini"), "No Such Program");
    EXPECT_EQ(ReadSoundEditorSetting(WriteIni(folder, "[other]\r\nprogram=C:\\x.exe\r\n")), "No Such Program");
    EXPECT_EQ(ReadSoundEditorSetting(""), "No Such Program");
}

TEST(EditorEntryRead, EmptyValueReadsAsEmptyText) {
    test::TempFolder folder;
    EXPECT_EQ(ReadSoundEditorSetting(WriteIni(folder, "[execution]\r\nprogram=\r\n")), "");
}

TEST(EditorEntryRead, WrittenEntryComesBackUnchanged) {
    test::TempFolder folder;
    const std::string ini = folder / "varnel.ini";
    WriteSoundEditorSetting(ini, kNoSoundProgram);
    EXPECT_EQ(ReadSoundEditorSetting(ini), kNoSoundProgram);
    WriteSoundEditorSetting(ini, "C:\\Program Files\\Editor\\editor.exe");
    EXPECT_EQ(ReadSoundEditorSetting(ini), "C:\\Program Files\\Editor\\editor.exe");
}

TEST(EditorEntryRead, LongEntriesAreReadWholeNotCutAt99Characters) {
    test::TempFolder folder;
    const std::string ini = folder / "varnel.ini";
    for (const std::size_t length : {99u, 100u, 120u, 254u, 255u, 256u, 257u, 5000u}) {
        const std::string program = "C:\\" + std::string(length - 9, 'd') + "\\e.exe";
        ASSERT_EQ(program.size(), length);
        WriteSoundEditorSetting(ini, program);
        EXPECT_EQ(ReadSoundEditorSetting(ini), program) << length;
    }
}

TEST(EditorCommandLine, IsTheProgramAndTheOutputEachInQuotes) {
    EXPECT_EQ(EditorCommandLine("\"", " ", "C:\\CE2000\\cool2000.exe", "c:\\output.pcm"),
              "\"C:\\CE2000\\cool2000.exe\" \"c:\\output.pcm\"");
    EXPECT_EQ(EditorCommandLine("\"", " ", "C:\\a b\\e.exe", "c:\\my sounds\\out.pcm"),
              "\"C:\\a b\\e.exe\" \"c:\\my sounds\\out.pcm\"");
    EXPECT_EQ(EditorCommandLine("\"", " ", "C:\\e.exe", ""), "\"C:\\e.exe\" \"\"");
}

class EditorStart : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    test::StandInRecording m_recording{m_folder.Path().string()};
};

TEST_F(EditorStart, StartedEditorGetsExactlyTheCommandLine) {
    const std::string commandLine = EditorCommandLine("\"", " ", test::StandInPath(), "c:\\my sounds\\out.pcm");
    ASSERT_TRUE(StartSoundEditor(commandLine));
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{commandLine});
}

TEST_F(EditorStart, EditorInAFolderDeeperThan99CharactersStarts) {
    const std::string folder = m_folder / (std::string(40, 'a') + " " + std::string(40, 'b'));
    std::filesystem::create_directories(folder + "\\" + std::string(30, 'c'));
    const std::string program = folder + "\\" + std::string(30, 'c') + "\\sound editor.exe";
    ASSERT_GT(program.size(), 99u);
    ASSERT_TRUE(test::CopyStandIn(program));
    const std::string commandLine = EditorCommandLine("\"", " ", program, "c:\\output.pcm");
    ASSERT_TRUE(StartSoundEditor(commandLine));
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{commandLine});
}

TEST_F(EditorStart, MissingOrNonProgramFilesAreRefused) {
    EXPECT_FALSE(StartSoundEditor(EditorCommandLine("\"", " ", "No Such Program", "c:\\output.pcm")));
    EXPECT_FALSE(StartSoundEditor(EditorCommandLine("\"", " ", m_folder / "missing.exe", "c:\\output.pcm")));
    EXPECT_FALSE(StartSoundEditor(EditorCommandLine("\"", " ", "", "c:\\output.pcm")));
    const std::string text = m_folder.Write("notes.exe", {'h', 'i', '\n'});
    EXPECT_FALSE(StartSoundEditor(EditorCommandLine("\"", " ", text, "c:\\output.pcm")));
}

TEST_F(EditorStart, NoHandleOfTheStartedEditorIsKept) {
    const std::string commandLine = EditorCommandLine("\"", " ", test::StandInPath(), "c:\\output.pcm");
    ASSERT_TRUE(StartSoundEditor(commandLine));
    ASSERT_EQ(m_recording.WaitForCommandLines(1).size(), 1u);
    const std::vector<unsigned long> ids = m_recording.ProcessIds();
    ASSERT_EQ(ids.size(), 1u);
    // Once it has ended, the system lets go of a process nobody holds.
    EXPECT_FALSE(test::ProcessObjectOutlives(ids[0]));
}

TEST_F(EditorStart, HeldHandleKeepsAnEndedProcessKnown) {
    // The check above can see a handle kept: here one is, on purpose.
    std::string commandLine = EditorCommandLine("\"", " ", test::StandInPath(), "c:\\output.pcm");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    CloseHandle(started.hThread);
    ASSERT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
    const HANDLE again = OpenProcess(SYNCHRONIZE, FALSE, started.dwProcessId);
    EXPECT_NE(again, nullptr);
    if (again) CloseHandle(again);
    CloseHandle(started.hProcess);
}

}  // namespace
}  // namespace varnel
