// The editor entry written into real settings files.
#include "editor/SoundEditorSetting.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace varnel {
namespace {

std::string ReadEntry(const std::string& iniFile) {
    char value[1024] = {};
    GetPrivateProfileStringA("execution", "program", "No Such Program", value, sizeof(value), iniFile.c_str());
    return value;
}

std::string FileText(const std::string& path) {
    const test::Bytes bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(EditorEntry, WritingCreatesTheFileWithTheSection) {
    test::TempFolder folder;
    const std::string ini = folder / "varnel.ini";
    WriteSoundEditorSetting(ini, kNoSoundProgram);
    EXPECT_EQ(FileText(ini), "[execution]\r\nprogram=No Sound Program Selected\r\n");
    EXPECT_EQ(ReadEntry(ini), "No Sound Program Selected");
}

TEST(EditorEntry, WritingReplacesTheValueAndKeepsTheRest) {
    test::TempFolder folder;
    const std::string ini = folder.Write("varnel.ini", [] {
        const std::string text = "[other]\r\nkey=value\r\n[execution]\r\nprogram=C:\\old.exe\r\n";
        return test::Bytes(text.begin(), text.end());
    }());
    WriteSoundEditorSetting(ini, "C:\\Program Files\\Editor\\editor.exe");
    EXPECT_EQ(ReadEntry(ini), "C:\\Program Files\\Editor\\editor.exe");
    char other[64] = {};
    GetPrivateProfileStringA("other", "key", "", other, sizeof(other), ini.c_str());
    EXPECT_STREQ(other, "value");
}

TEST(EditorEntry, LongProgramPathIsWrittenWhole) {
    test::TempFolder folder;
    const std::string ini = folder / "varnel.ini";
    const std::string program = "C:\\" + std::string(200, 'e') + "\\cool2000.exe";
    WriteSoundEditorSetting(ini, program);
    EXPECT_EQ(ReadEntry(ini), program);
}

TEST(EditorEntry, NoFileNameWritesNothing) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string winIni = std::string(windows) + "\\win.ini";
    WriteSoundEditorSetting("", "C:\\stray.exe");
    char value[64] = {};
    GetPrivateProfileStringA("execution", "program", "", value, sizeof(value), winIni.c_str());
    EXPECT_STRNE(value, "C:\\stray.exe");
}

}  // namespace
}  // namespace varnel
