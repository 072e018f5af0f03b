// Cool Edit 2000's discovery through the real registry of the Wine prefix:
// keys made by the test under HKEY_LOCAL_MACHINE, in the 32-bit view where
// its installer writes them unless a case says otherwise, and removed
// afterwards.
#include "WinTestSupport.h"
#include "editor/SoundEditorDiscovery.h"
#include "editor/SoundEditorSetting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace varnel {
namespace {

using test::CoolEditRegistry;

TEST(CoolEditDiscovery, InstalledEditorGivesItsProgramPath) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    EXPECT_EQ(FindSoundEditor(), "C:\\CE2000\\cool2000.exe");
}

TEST(CoolEditDiscovery, InstallerEntryIsFoundAsTheRegistryToolWritesIt) {
    // What a 32-bit installer leaves on 64-bit Windows, made by the system's
    // own reg.exe in its 32-bit view.
    CoolEditRegistry registry;
    char command[] =
        "reg.exe add HKLM\\SOFTWARE\\Syntrillium\\CE2000\\State /v Location /d \"C:\\Program Files\\CE\" /f /reg:32";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION reg{};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &reg));
    WaitForSingleObject(reg.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(reg.hProcess, &exitCode);
    CloseHandle(reg.hThread);
    CloseHandle(reg.hProcess);
    ASSERT_EQ(exitCode, 0u);
    HKEY native = nullptr;
    ASSERT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Syntrillium", 0, KEY_READ | KEY_WOW64_64KEY, &native),
              ERROR_SUCCESS)
        << "the entry must be where a 64-bit program does not look by default";
    EXPECT_EQ(FindSoundEditor(), "C:\\Program Files\\CE\\cool2000.exe");
}

TEST(CoolEditDiscovery, EntryOnlyInTheNativeViewIsFoundToo) {
    CoolEditRegistry registry(CoolEditRegistry::View::Native64);
    ASSERT_TRUE(registry.SetLocation("C:\\By Hand"));
    EXPECT_EQ(FindSoundEditor(), "C:\\By Hand\\cool2000.exe");
}

TEST(CoolEditDiscovery, InstallersViewComesBeforeTheNativeOne) {
    CoolEditRegistry installer;
    ASSERT_TRUE(installer.SetLocation("C:\\Installed"));
    // Another entry, made by hand in the native view.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Syntrillium\\CE2000\\State", 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char other[] = "C:\\Other";
    RegSetValueExA(key, "Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
    RegCloseKey(key);
    EXPECT_EQ(FindSoundEditor(), "C:\\Installed\\cool2000.exe");
    // Without the installer's entry, the other one is taken.
    ASSERT_EQ(RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Syntrillium\\CE2000\\State", KEY_WOW64_32KEY, 0),
              ERROR_SUCCESS);
    EXPECT_EQ(FindSoundEditor(), "C:\\Other\\cool2000.exe");
}

TEST(CoolEditDiscovery, FolderWithBlanksIsKeptAsItIs) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\Program Files\\Syntrillium\\Cool Edit 2000"));
    EXPECT_EQ(FindSoundEditor(), "C:\\Program Files\\Syntrillium\\Cool Edit 2000\\cool2000.exe");
}

TEST(CoolEditDiscovery, EachMissingKeyGivesTheSentinel) {
    CoolEditRegistry registry;
    EXPECT_EQ(FindSoundEditor(), kNoSoundProgram);  // no Syntrillium
    ASSERT_TRUE(registry.CreateKeys(1));
    EXPECT_EQ(FindSoundEditor(), kNoSoundProgram);  // no CE2000
    ASSERT_TRUE(registry.CreateKeys(2));
    EXPECT_EQ(FindSoundEditor(), kNoSoundProgram);  // no State
}

TEST(CoolEditDiscovery, MissingLocationValueGivesTheSentinel) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.CreateKeys(3));
    EXPECT_EQ(FindSoundEditor(), kNoSoundProgram);
}

TEST(CoolEditDiscovery, EmptyLocationGivesTheBareProgramName) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation(""));
    EXPECT_EQ(FindSoundEditor(), "\\cool2000.exe");
}

TEST(CoolEditDiscovery, TrailingBackslashIsNotRemoved) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000\\"));
    EXPECT_EQ(FindSoundEditor(), "C:\\CE2000\\\\cool2000.exe");
}

TEST(CoolEditDiscovery, LongInstallFolderIsKeptWhole) {
    CoolEditRegistry registry;
    // 86 characters fit the old 100-byte buffer with the program name; these
    // do not.
    for (const std::size_t length : {87u, 99u, 100u, 150u, 600u}) {
        const std::string folder = "C:\\" + std::string(length - 3, 'd');
        ASSERT_TRUE(registry.SetLocation(folder));
        EXPECT_EQ(FindSoundEditor(), folder + "\\cool2000.exe") << length << " characters";
    }
}

TEST(CoolEditDiscovery, LocationStoredWithoutTerminatorIsReadWhole) {
    CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000", false));
    EXPECT_EQ(FindSoundEditor(), "C:\\CE2000\\cool2000.exe");
}

}  // namespace
}  // namespace varnel
