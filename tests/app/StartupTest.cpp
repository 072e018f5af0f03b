// The real program started as a separate process, from a copy in a fresh
// folder: where its settings file appears, and what start-up leaves in it.
#include "WinTestSupport.h"
#include "resources/resource.h"
#include "support/TempFolder.h"

#include <windows.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The built varnel.exe, found from this test program's own folder.
std::string BuiltProgram() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string relative = (fs::path(self).parent_path() / VARNEL_EXE_FROM_TESTS).string();
    char full[MAX_PATH] = {};
    GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::string FileText(const fs::path& path) {
    const test::Bytes bytes = test::ReadBytes(path.string());
    return std::string(bytes.begin(), bytes.end());
}

// One run of the program: started, its window found, closed as the close
// box does.
class ProgramRun {
public:
    ProgramRun(const std::wstring& application, const std::wstring& commandLine, const fs::path& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring line = commandLine;
        // A relative program name is looked for from the starting process's
        // own current folder, as a shell started in `folder` would.
        wchar_t previous[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, previous);
        SetCurrentDirectoryW(folder.wstring().c_str());
        m_started = CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, folder.wstring().c_str(), &startup, &m_process);
        SetCurrentDirectoryW(previous);
    }
    ~ProgramRun() {
        if (!m_started) return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 99);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return m_started; }

    // The program's main window, once it waits for the user.
    HWND WaitForWindow() {
        WaitForInputIdle(m_process.hProcess, 60000);
        for (int attempt = 0; attempt < 600 && !m_window; ++attempt) {
            EnumWindows(&ProgramRun::Match, reinterpret_cast<LPARAM>(this));
            if (!m_window) Sleep(100);
        }
        return m_window;
    }

    // A dialog the program opened over its window, once it is shown.
    HWND WaitForDialog() {
        for (int attempt = 0; attempt < 600; ++attempt) {
            m_dialog = nullptr;
            EnumWindows(&ProgramRun::MatchDialog, reinterpret_cast<LPARAM>(this));
            if (m_dialog) return m_dialog;
            Sleep(100);
        }
        return nullptr;
    }

    // Closes the window; the program's exit code.
    DWORD Close() {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
        WaitForSingleObject(m_process.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

private:
    static BOOL CALLBACK Match(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<ProgramRun*>(lp);
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        if (process != self->m_process.dwProcessId || !IsWindowVisible(hwnd)) return TRUE;
        if (test::TextOf(hwnd) != "Varnel") return TRUE;
        self->m_window = hwnd;
        return FALSE;
    }

    static BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<ProgramRun*>(lp);
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        char name[16] = {};
        GetClassNameA(hwnd, name, sizeof(name));
        if (process != self->m_process.dwProcessId || hwnd == self->m_window || !IsWindowVisible(hwnd) ||
            std::string(name) != "#32770")
            return TRUE;
        self->m_dialog = hwnd;
        return FALSE;
    }

    PROCESS_INFORMATION m_process{};
    bool m_started = false;
    HWND m_window = nullptr;
    HWND m_dialog = nullptr;
};

class Startup : public ::testing::Test {
protected:
    // A copy of the program at `relative` inside the test's folder.
    fs::path Install(const fs::path& relative) {
        const fs::path target = m_folder.Path() / relative;
        fs::create_directories(target.parent_path());
        EXPECT_TRUE(CopyFileW(fs::path(BuiltProgram()).wstring().c_str(), target.wstring().c_str(), FALSE))
            << BuiltProgram();
        return target;
    }
    // Runs the program until its window shows, then closes it.
    void RunOnce(const std::wstring& application, const std::wstring& commandLine, const fs::path& folder) {
        ProgramRun run(application, commandLine, folder);
        ASSERT_TRUE(run.Started()) << GetLastError();
        ASSERT_NE(run.WaitForWindow(), nullptr);
        EXPECT_EQ(run.Close(), 0u);
    }
    static std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

    test::TempFolder m_folder;
};

TEST_F(Startup, StartedByFullPathFindsItsSettingsBesideItself) {
    const fs::path program = Install("Apps\\varnel.exe");
    const fs::path elsewhere = m_folder.Path() / "elsewhere";
    fs::create_directories(elsewhere);
    RunOnce(L"", Quoted(program), elsewhere);
    EXPECT_TRUE(fs::exists(m_folder.Path() / "Apps\\varnel.ini"));
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(Startup, StartedByRelativePathFromAnotherFolderStillUsesItsOwnFolder) {
    Install("sub\\varnel.exe");
    RunOnce(L"", L"sub\\varnel.exe", m_folder.Path());
    EXPECT_TRUE(fs::exists(m_folder.Path() / "sub\\varnel.ini"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "varnel.ini"));
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_FALSE(fs::exists(fs::path(windows) / "sub\\varnel.ini"));
}

TEST_F(Startup, RenamedCopyUsesItsNewName) {
    Install("mixer.exe");
    RunOnce(L"", Quoted(m_folder.Path() / "mixer.exe"), m_folder.Path());
    EXPECT_TRUE(fs::exists(m_folder.Path() / "mixer.ini"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "varnel.ini"));
}

TEST_F(Startup, CopyWithoutExtensionKeepsItsWholeName) {
    const fs::path program = Install("mixer");
    RunOnce(program.wstring(), Quoted(program), m_folder.Path());
    EXPECT_TRUE(fs::exists(m_folder.Path() / "mixer.ini"));
    EXPECT_FALSE(fs::exists(m_folder.Path() / "m.ini"));
}

TEST_F(Startup, FolderNameOutsideTheOldCodePageStillWorks) {
    // UTF-8 as the program's code page (its manifest) keeps such names whole.
    const fs::path program = Install(L"\u97f3\u58f0 \u0397\u03c7\u03bf\u03c2\\varnel.exe");
    RunOnce(L"", Quoted(program), m_folder.Path());
    EXPECT_TRUE(fs::exists(program.parent_path() / "varnel.ini"));
}

TEST_F(Startup, MissingSettingsFileIsCreatedWithTheDiscoveredEditor) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    Install("varnel.exe");
    RunOnce(L"", Quoted(m_folder.Path() / "varnel.exe"), m_folder.Path());
    EXPECT_EQ(FileText(m_folder.Path() / "varnel.ini"), "[execution]\r\nprogram=C:\\CE2000\\cool2000.exe\r\n");
}

TEST_F(Startup, MissingSettingsFileWithoutCoolEditHoldsTheSentinel) {
    test::CoolEditRegistry registry;
    Install("varnel.exe");
    RunOnce(L"", Quoted(m_folder.Path() / "varnel.exe"), m_folder.Path());
    EXPECT_EQ(FileText(m_folder.Path() / "varnel.ini"), "[execution]\r\nprogram=No Sound Program Selected\r\n");
}

TEST_F(Startup, PresentSettingsFileIsLeftAlone) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    Install("varnel.exe");
    const std::string text = "[execution]\r\nprogram=No Sound Program Selected\r\n; mine\r\n";
    m_folder.Write("varnel.ini", test::Bytes(text.begin(), text.end()));
    RunOnce(L"", Quoted(m_folder.Path() / "varnel.exe"), m_folder.Path());
    EXPECT_EQ(FileText(m_folder.Path() / "varnel.ini"), text);
}

// A path CTest gives in the build machine's terms: under Wine, drive Z: is
// the POSIX root.
fs::path FromBuildMachine(const char* path) { return path[0] == '/' ? fs::path("Z:" + std::string(path)) : path; }

// The settings file a program of this name keeps in the user's own
// application data.
fs::path PerUserSettings(const std::string& programName) {
    PWSTR folder = nullptr;
    fs::path path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)))
        path = fs::path(folder) / "Varnel" / (programName + ".ini");
    CoTaskMemFree(folder);
    return path;
}

TEST_F(Startup, WritableFolderGetsItsFileBesideTheProgramOnly) {
    test::CoolEditRegistry registry;
    Install("writable-check.exe");
    RunOnce(L"", Quoted(m_folder.Path() / "writable-check.exe"), m_folder.Path());
    EXPECT_EQ(FileText(m_folder.Path() / "writable-check.ini"), "[execution]\r\nprogram=No Sound Program Selected\r\n");
    EXPECT_FALSE(fs::exists(PerUserSettings("writable-check")));
}

// Copies of the program in a folder it cannot write, as C:\Program Files
// cannot be without elevation: each test has its own folder there and its
// own program name, and so its own file in the user's application data.
class ReadOnlyStartup : public Startup {
protected:
    void SetUp() override {
        const fs::path root = FromBuildMachine(VARNEL_READ_ONLY_FOLDER);
        if (fs::exists(root / "refused")) GTEST_SKIP() << "no read-only folder here: " << FileText(root / "refused");
        m_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_writable = root / "writable" / m_name;
        m_readOnly = root / "read-only" / m_name;
        fs::create_directories(m_writable);
        ASSERT_TRUE(CopyFileW(fs::path(BuiltProgram()).wstring().c_str(),
                              (m_writable / (m_name + ".exe")).wstring().c_str(), FALSE));
        ASSERT_FALSE(CreateDirectoryW((m_readOnly / "probe").wstring().c_str(), nullptr))
            << "the folder can be written";
        fs::remove(PerUserSettings(m_name));
    }
    void TearDown() override {
        if (m_name.empty()) return;
        fs::remove(PerUserSettings(m_name));
        fs::remove_all(m_writable);
    }
    void Start() { RunOnce(L"", Quoted(m_readOnly / (m_name + ".exe")), m_folder.Path()); }

    std::string m_name;
    fs::path m_writable, m_readOnly;
};

TEST_F(ReadOnlyStartup, DiscoveredEditorIsKeptForTheUserAndFoundAgain) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    Start();
    const std::string kept = "[execution]\r\nprogram=C:\\CE2000\\cool2000.exe\r\n";
    EXPECT_EQ(FileText(PerUserSettings(m_name)), kept);
    EXPECT_FALSE(fs::exists(m_writable / (m_name + ".ini")));
    // Found again: the discovery does not run a second time.
    ASSERT_TRUE(registry.SetLocation("D:\\Elsewhere"));
    Start();
    EXPECT_EQ(FileText(PerUserSettings(m_name)), kept);
}

TEST_F(ReadOnlyStartup, ChosenEditorIsKeptAcrossStarts) {
    test::CoolEditRegistry registry;
    const std::string chosen = m_folder.Write("my editor.exe", {1});
    {
        ProgramRun run(L"", Quoted(m_readOnly / (m_name + ".exe")), m_folder.Path());
        ASSERT_TRUE(run.Started());
        const HWND window = run.WaitForWindow();
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_BROWSE_EDITOR, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BROWSE_EDITOR)));
        const HWND dialog = run.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        const HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        for (int attempt = 0; attempt < 600 && IsWindow(dialog); ++attempt) Sleep(100);
        EXPECT_EQ(run.Close(), 0u);
    }
    const std::string kept = "[execution]\r\nprogram=" + chosen + "\r\n";
    EXPECT_EQ(FileText(PerUserSettings(m_name)), kept);
    Start();
    EXPECT_EQ(FileText(PerUserSettings(m_name)), kept);
}

TEST_F(ReadOnlyStartup, SettingsFileBesideTheProgramIsUsedAsItIs) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    const std::string text = "[execution]\r\nprogram=D:\\Portable\\editor.exe\r\n";
    const std::string beside = (m_writable / (m_name + ".ini")).string();
    {
        std::FILE* file = std::fopen(beside.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    Start();
    EXPECT_EQ(FileText(m_readOnly / (m_name + ".ini")), text);
    EXPECT_FALSE(fs::exists(PerUserSettings(m_name)));
}

}  // namespace
}  // namespace varnel
