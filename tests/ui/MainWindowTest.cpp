// The real main window, opened modally and driven with messages from inside
// its modal loop: defaults, data exchange both ways, closing by Quit, Esc
// and the close box, the settings file at start-up, and files dropped on
// its three path fields.
#include "WinTestSupport.h"
#include "editor/SoundEditorSetting.h"
#include "framework/Application.h"
#include "resources/resource.h"
#include "support/TempFolder.h"
#include "ui/VarnelDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace varnel {
namespace {

namespace fs = std::filesystem;
using test::PressButton;
using test::TextOf;

constexpr int kPathFields[] = {IDC_SOUND_FILE_1, IDC_SOUND_FILE_2, IDC_OUTPUT_FILE};
constexpr int kRadios[] = {IDC_MONO, IDC_STEREO, IDC_JOIN_1_TO_2, IDC_JOIN_2_TO_1};

// The radio buttons that show a check, as a string of 0 and 1 in group order.
std::string Checks(HWND dialog) {
    std::string checks;
    for (const int id : kRadios) checks += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
    return checks;
}

std::string FileText(const std::string& path) {
    const test::Bytes bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The application as start-up leaves it: COM on this thread, the common
// controls registered, the settings path in a fresh folder.
class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
    }

    // Opens `dlg` modally, runs `drive` on its window, and returns the modal
    // result once `drive` has closed it.
    INT_PTR Open(CVarnelDlg& dlg, const std::function<void(HWND)>& drive) {
        test::ModalScript script;
        script.Then(drive);
        m_app.m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        m_app.m_pMainWnd = nullptr;
        EXPECT_EQ(script.Pending(), 0u);
        return result;
    }

    std::string Ini() const { return m_folder / "varnel.ini"; }

    test::TempFolder m_folder;
    test::ComApartment m_com;
    framework::Application m_app;
};

using MainWindowDefaults = MainWindow;

TEST_F(MainWindowDefaults, OpensWithTheDefaultPathsAndMergeMonoChecked) {
    CVarnelDlg dlg(Ini());
    EXPECT_EQ(dlg.m_nFunction, ProcessFunction::None);
    EXPECT_EQ(dlg.m_strSoundFile1, "");
    Open(dlg, [&](HWND hwnd) {
        EXPECT_EQ(TextOf(hwnd), "Varnel");
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), "c:\\ap1-10.pcm");
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_2), "c:\\M20101.o22");
        EXPECT_EQ(TextOf(hwnd, IDC_OUTPUT_FILE), "c:\\output.pcm");
        EXPECT_EQ(Checks(hwnd), "1000");
        test::Cancel(hwnd);
    });
    EXPECT_EQ(dlg.m_strSoundFile1, "c:\\ap1-10.pcm");
    EXPECT_EQ(dlg.m_strSoundFile2, "c:\\M20101.o22");
    EXPECT_EQ(dlg.m_strOutputFile, "c:\\output.pcm");
    EXPECT_EQ(dlg.m_nFunction, ProcessFunction::Mono);
    EXPECT_EQ(dlg.m_strQuote, "\"");
    EXPECT_EQ(dlg.m_strSpace, " ");
    EXPECT_EQ(dlg.m_strIniFile, Ini());
}

TEST_F(MainWindowDefaults, DefaultsComeBackWhateverTheLastRunLeft) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "d:\\elsewhere.pcm");
        PressButton(hwnd, IDC_JOIN_1_TO_2);
        PressButton(hwnd, IDOK);
    });
    ASSERT_EQ(dlg.m_strSoundFile1, "d:\\elsewhere.pcm");
    Open(dlg, [&](HWND hwnd) {
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), "c:\\ap1-10.pcm");
        EXPECT_EQ(Checks(hwnd), "1000");
        test::Cancel(hwnd);
    });
}

TEST_F(MainWindowDefaults, ProgressBarIsBoundAndTheFieldsAreDropFields) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        EXPECT_EQ(dlg.m_progress.GetSafeHwnd(), GetDlgItem(hwnd, IDC_PROGRESS));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(dlg.m_dropEdit[i].GetSafeHwnd(), GetDlgItem(hwnd, kPathFields[i]));
        test::Cancel(hwnd);
    });
}

using MainWindowExchange = MainWindow;

TEST_F(MainWindowExchange, ReadCopiesEveryControlIntoItsMember) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\one.pcm");
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, "c:\\two words.o22");
        SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, "");
        PressButton(hwnd, IDC_JOIN_2_TO_1);
        dlg.UpdateData(true);
        EXPECT_EQ(dlg.m_strSoundFile1, "c:\\one.pcm");
        EXPECT_EQ(dlg.m_strSoundFile2, "c:\\two words.o22");
        EXPECT_EQ(dlg.m_strOutputFile, "");
        EXPECT_EQ(dlg.m_nFunction, ProcessFunction::Join2To1);
        test::Cancel(hwnd);
    });
}

TEST_F(MainWindowExchange, WriteReplacesWhatTheFieldsShow) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, "typed but not read");
        dlg.m_strSoundFile1 = "c:\\a.pcm";
        dlg.m_nFunction = ProcessFunction::Stereo;
        dlg.UpdateData(false);
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), "c:\\a.pcm");
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_2), "c:\\M20101.o22");
        EXPECT_EQ(Checks(hwnd), "0100");
        dlg.m_nFunction = ProcessFunction::None;
        dlg.UpdateData(false);
        EXPECT_EQ(Checks(hwnd), "0000");
        dlg.UpdateData(true);
        EXPECT_EQ(dlg.m_nFunction, ProcessFunction::None);
        test::Cancel(hwnd);
    });
}

using MainWindowClosing = MainWindow;

TEST_F(MainWindowClosing, QuitReadsTheFieldsBeforeClosing) {
    CVarnelDlg dlg(Ini());
    const INT_PTR result = Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, "c:\\typed.pcm");
        PressButton(hwnd, IDC_STEREO);
        PressButton(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_strOutputFile, "c:\\typed.pcm");
    EXPECT_EQ(dlg.m_nFunction, ProcessFunction::Stereo);
}

TEST_F(MainWindowClosing, EscClosesWithoutReading) {
    CVarnelDlg dlg(Ini());
    const INT_PTR result = Open(dlg, [&](HWND hwnd) {
        const HWND field = GetDlgItem(hwnd, IDC_OUTPUT_FILE);
        SetWindowTextA(field, "c:\\typed.pcm");
        SetFocus(field);
        PostMessageA(field, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_strOutputFile, "c:\\output.pcm");
}

TEST_F(MainWindowClosing, CloseBoxClosesWithoutReading) {
    CVarnelDlg dlg(Ini());
    const INT_PTR result = Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed.pcm");
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_strSoundFile1, "c:\\ap1-10.pcm");
}

using MainWindowSettings = MainWindow;

TEST_F(MainWindowSettings, MissingFileIsCreatedWithTheDiscoveredEditor) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) { test::Cancel(hwnd); });
    EXPECT_EQ(dlg.m_szEditorProgram, "C:\\CE2000\\cool2000.exe");
    EXPECT_EQ(FileText(Ini()), "[execution]\r\nprogram=C:\\CE2000\\cool2000.exe\r\n");
}

TEST_F(MainWindowSettings, MissingFileWithoutCoolEditHoldsTheSentinelSilently) {
    test::CoolEditRegistry registry;
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) { test::Cancel(hwnd); });  // a box would take this step instead
    EXPECT_EQ(dlg.m_szEditorProgram, kNoSoundProgram);
    EXPECT_EQ(FileText(Ini()), "[execution]\r\nprogram=No Sound Program Selected\r\n");
}

TEST_F(MainWindowSettings, InstallFolderIsTakenAsItStands) {
    test::CoolEditRegistry registry;  // in the installer's 32-bit view
    const std::string folders[] = {"C:\\Program Files (x86)\\Cool Edit 2000", "", "C:\\CE2000\\",
                                   "C:\\Program Files\\" + std::string(120, 'c')};
    for (const std::string& folder : folders) {
        ASSERT_TRUE(registry.SetLocation(folder));
        fs::remove(Ini());
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) { test::Cancel(hwnd); });
        EXPECT_EQ(dlg.m_szEditorProgram, folder + "\\cool2000.exe");
        EXPECT_EQ(FileText(Ini()), "[execution]\r\nprogram=" + folder + "\\cool2000.exe\r\n");
    }
}

TEST_F(MainWindowSettings, PresentFileIsLeftAloneAndTheRegistryUnread) {
    test::CoolEditRegistry registry;
    ASSERT_TRUE(registry.SetLocation("C:\\CE2000"));
    const std::string text = "[execution]\r\nprogram=No Sound Program Selected\r\n";
    m_folder.Write("varnel.ini", test::Bytes(text.begin(), text.end()));
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) { test::Cancel(hwnd); });
    EXPECT_EQ(FileText(Ini()), text);
    EXPECT_EQ(dlg.m_szEditorProgram, "");
}

// Files dropped from the shell on the three path fields.
class MainWindowDrops : public MainWindow {
protected:
    MainWindowDrops() {
        m_file = m_folder.Write("input 1.pcm", {1, 2, 3, 4});
        m_otherFile = m_folder.Write("input 2.o22", {5, 6});
        m_subfolder = m_folder / "sounds";
        fs::create_directories(m_subfolder);
    }

    static void Drop(HWND hwnd, int field, const std::vector<std::string>& names) {
        SendDlgItemMessageA(hwnd, field, WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop(names)), 0);
    }

    std::string m_file;
    std::string m_otherFile;
    std::string m_subfolder;
};

TEST_F(MainWindowDrops, FileDroppedOnEachFieldIsShownAndReadAtQuit) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        for (const int field : kPathFields) {
            Drop(hwnd, field, {m_file});
            EXPECT_EQ(TextOf(hwnd, field), m_file);
        }
        PressButton(hwnd, IDOK);
    });
    EXPECT_EQ(dlg.m_strSoundFile1, m_file);
    EXPECT_EQ(dlg.m_strSoundFile2, m_file);
    EXPECT_EQ(dlg.m_strOutputFile, m_file);
}

TEST_F(MainWindowDrops, FolderIsRefusedAndTypedTextKept) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        for (const int field : kPathFields) {
            SetDlgItemTextA(hwnd, field, "typed");
            Drop(hwnd, field, {m_subfolder});
            EXPECT_EQ(TextOf(hwnd, field), "typed");
        }
        test::Cancel(hwnd);
    });
}

TEST_F(MainWindowDrops, OnlyTheFirstDroppedNameCounts) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        Drop(hwnd, IDC_SOUND_FILE_1, {m_file, m_otherFile});
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), m_file);
        Drop(hwnd, IDC_SOUND_FILE_2, {m_subfolder, m_otherFile});
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_2), "c:\\M20101.o22");
        test::Cancel(hwnd);
    });
}

TEST_F(MainWindowDrops, ShortcutsAreFollowedToFilesOnly) {
    const std::string toFile = m_folder / "to file.lnk";
    const std::string toFolder = m_folder / "to folder.lnk";
    const std::string toMissing = m_folder / "to missing.lnk";
    const std::string gone = m_folder.Write("gone.pcm", {0});
    ASSERT_TRUE(test::MakeShortcut(toFile, m_otherFile));
    ASSERT_TRUE(test::MakeShortcut(toFolder, m_subfolder));
    ASSERT_TRUE(test::MakeShortcut(toMissing, gone));
    fs::remove(gone);
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        Drop(hwnd, IDC_SOUND_FILE_1, {toFile});
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), m_otherFile);
        Drop(hwnd, IDC_SOUND_FILE_2, {toFolder});
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_2), "c:\\M20101.o22");
        Drop(hwnd, IDC_OUTPUT_FILE, {toMissing});
        EXPECT_EQ(TextOf(hwnd, IDC_OUTPUT_FILE), "c:\\output.pcm");
        test::Cancel(hwnd);
    });
}

}  // namespace
}  // namespace varnel
