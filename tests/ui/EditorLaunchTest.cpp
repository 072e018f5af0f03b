// "Cool Edit" and the editor's "Browse..." on the real window, with the
// stand-in editor that records the command line it gets.
#include "StandInEditor.h"
#include "WindowTestSupport.h"
#include "editor/SoundEditorLaunch.h"
#include "editor/SoundEditorSetting.h"
#include "resources/resource.h"

#include <dlgs.h>

#include <algorithm>
#include <filesystem>

namespace varnel {
namespace {

namespace fs = std::filesystem;
using test::BoxContents;
using test::PressButton;
using test::TextOf;

std::string Entry(const std::string& program) { return "[execution]\r\nprogram=" + program + "\r\n"; }

std::string Quoted(const std::string& program, const std::string& output) {
    return "\"" + program + "\" \"" + output + "\"";
}

std::vector<std::string> FilterNames(HWND dialog) {
    std::vector<std::string> types;
    const HWND typeList = GetDlgItem(dialog, cmb1);
    const auto count = SendMessageA(typeList, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(typeList, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        types.emplace_back(text);
    }
    return types;
}

HWND NameField(HWND dialog) { return GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1); }

class EditorLaunch : public test::VarnelWindow {
protected:
    EditorLaunch() {
        fs::create_directories(m_records);
        fs::create_directories(m_editorFolder);
        m_editor = m_editorFolder + "\\sound editor.exe";
        EXPECT_TRUE(test::CopyStandIn(m_editor));
    }

    // Presses "Cool Edit" once in a window whose output field shows `output`
    // (typed, not read), answering up to one box with `answer`.
    std::vector<BoxContents> PressCoolEdit(const std::string& output, int answer = IDOK,
                                           std::function<void(HWND)> afterBox = nullptr) {
        std::vector<BoxContents> shown;
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) {
            SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, output.c_str());
            Answer(shown, answer);
            if (afterBox) Then(afterBox);
            PressButton(hwnd, IDC_LAUNCH_EDITOR);
            m_outputAfter = TextOf(hwnd, IDC_OUTPUT_FILE);
            PressButton(hwnd, IDCANCEL);
        });
        m_editorProgram = dlg.m_szEditorProgram;
        for (const BoxContents& box : shown) EXPECT_EQ(box.caption, test::AppCaption());
        return shown;
    }

    std::string m_records = m_folder / "records";
    std::string m_editorFolder = m_folder / "my editors";
    std::string m_editor;
    test::StandInRecording m_recording{m_records};
    std::string m_outputAfter;
    std::string m_editorProgram;
};

TEST_F(EditorLaunch, StartsTheEditorOnTheTypedOutputWithExactlySevenPieces) {
    WriteIni(Entry(m_editor));
    const std::string output = "c:\\my sounds\\not yet there.pcm";
    EXPECT_TRUE(PressCoolEdit(output).empty());
    EXPECT_EQ(m_unusedSteps, 1u);  // no box
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{Quoted(m_editor, output)});
    EXPECT_EQ(m_outputAfter, output);
    EXPECT_EQ(test::FileText(Ini()), Entry(m_editor));
}

TEST_F(EditorLaunch, EmptyOutputFieldGivesOneEmptyArgument) {
    WriteIni(Entry(m_editor));
    EXPECT_TRUE(PressCoolEdit("").empty());
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{"\"" + m_editor + "\" \"\""});
}

TEST_F(EditorLaunch, EditorInADeepFolderStartsWithItsWholePath) {
    const std::string deep = m_editorFolder + "\\" + std::string(50, 'x') + "\\" + std::string(50, 'y');
    fs::create_directories(deep);
    const std::string editor = deep + "\\editor.exe";
    ASSERT_GT(editor.size(), 120u);
    ASSERT_TRUE(test::CopyStandIn(editor));
    WriteIni(Entry(editor));
    EXPECT_TRUE(PressCoolEdit("c:\\output.pcm").empty());
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{Quoted(editor, "c:\\output.pcm")});
    EXPECT_EQ(m_editorProgram, editor);
}

// Entries saved in Windows-1252 (the Western system's legacy code page) by
// an older program or by hand, while this program's narrow strings are UTF-8.
TEST_F(EditorLaunch, EntryInTheLegacyCodePageIsReadInIt) {
    const std::string utf8 = "C:\\Caf\u00e9 \u00dcber\\cool2000.exe";
    WriteIni(
        "[other]\r\nprogram=C:\\na\xefve.exe\r\n[execution]\r\nprogram=C:\\Caf\xe9 \xdc"
        "ber\\cool2000.exe\r\n");
    EXPECT_EQ(ReadSoundEditorSetting(Ini()), utf8);
    // Valid UTF-8 is taken as it is, even where it could be read otherwise.
    WriteIni(Entry(utf8));
    EXPECT_EQ(ReadSoundEditorSetting(Ini()), utf8);
    // Bytes elsewhere in the file do not matter.
    WriteIni("[other]\r\nprogram=C:\\na\xefve.exe\r\n[execution]\r\nprogram=C:\\plain.exe\r\n");
    EXPECT_EQ(ReadSoundEditorSetting(Ini()), "C:\\plain.exe");
}

TEST_F(EditorLaunch, EditorNamedInTheLegacyCodePageStillStarts) {
    const std::string folder = m_editorFolder + "\\Caf\u00e9 \u00dcber";
    fs::create_directories(fs::path(std::u8string(folder.begin(), folder.end())));
    ASSERT_TRUE(test::CopyStandIn(folder + "\\cool2000.exe"));
    std::string legacy = folder;
    legacy.replace(legacy.find("\u00e9"), 2, "\xe9");
    legacy.replace(legacy.find("\u00dc"), 2, "\xdc");
    WriteIni(Entry(legacy + "\\cool2000.exe"));
    EXPECT_TRUE(PressCoolEdit("c:\\output.pcm").empty());
    EXPECT_EQ(m_recording.WaitForCommandLines(1),
              std::vector<std::string>{Quoted(folder + "\\cool2000.exe", "c:\\output.pcm")});
    EXPECT_EQ(m_editorProgram, folder + "\\cool2000.exe");
}

TEST_F(EditorLaunch, SentinelShowsItsMessageAndStartsNothing) {
    WriteIni(Entry(kNoSoundProgram));
    const auto shown = PressCoolEdit("c:\\typed.pcm");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "No Sound Editor Selected");
    EXPECT_EQ(test::FileText(Ini()), Entry(kNoSoundProgram));
    EXPECT_EQ(m_outputAfter, "c:\\typed.pcm");
    EXPECT_TRUE(m_recording.CommandLines().empty());
}

TEST_F(EditorLaunch, SentinelInOtherLetterCaseIsTakenForAProgram) {
    WriteIni(Entry("No Sound Program selected"));
    const auto shown = PressCoolEdit("c:\\output.pcm", IDNO);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Select A Sound Editor");
}

TEST_F(EditorLaunch, FailedStartAnsweredNoStoresTheSentinel) {
    const std::string missing = m_folder / "gone\\editor.exe";
    WriteIni(Entry(missing));
    const auto shown = PressCoolEdit("c:\\typed.pcm", IDNO);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Select A Sound Editor");
    EXPECT_EQ(m_editorProgram, missing);
    EXPECT_EQ(test::FileText(Ini()), Entry(kNoSoundProgram));
    EXPECT_EQ(m_outputAfter, "c:\\typed.pcm");
    // The next press knows there is no editor.
    const auto next = PressCoolEdit("c:\\typed.pcm");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].text, "No Sound Editor Selected");
}

TEST_F(EditorLaunch, FailedStartAnsweredYesStoresTheChosenEditorForTheNextPress) {
    WriteIni("[execution]\r\nprogram=\r\n");  // empty: not the sentinel, and no program
    std::vector<std::string> types;
    const auto shown = PressCoolEdit("c:\\typed.pcm", IDYES, [&](HWND dialog) {
        types = FilterNames(dialog);
        SetWindowTextA(NameField(dialog), m_editor.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Select A Sound Editor");
    EXPECT_EQ(types, (std::vector<std::string>{"Application (*.exe)", "All Files (*.*)"}));
    EXPECT_EQ(test::FileText(Ini()), Entry(m_editor));
    EXPECT_EQ(m_outputAfter, "c:\\typed.pcm");
    // Not started by this press; the next one starts it, once.
    EXPECT_TRUE(PressCoolEdit("c:\\next.pcm").empty());
    EXPECT_EQ(m_recording.WaitForCommandLines(1), std::vector<std::string>{Quoted(m_editor, "c:\\next.pcm")});
}

TEST_F(EditorLaunch, FailedStartAnsweredYesThenCancelledKeepsTheEntry) {
    WriteIni(Entry("No Such Program"));
    const auto shown =
        PressCoolEdit("c:\\typed.pcm", IDYES, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(test::FileText(Ini()), Entry("No Such Program"));
    EXPECT_EQ(m_unusedSteps, 0u);
    EXPECT_EQ(m_outputAfter, "c:\\typed.pcm");
}

TEST_F(EditorLaunch, DeletedSettingsFileIsRediscoveredAtTheNextPress) {
    test::CoolEditRegistry registry;  // in the installer's 32-bit view
    ASSERT_TRUE(test::CopyStandIn(m_editorFolder + "\\cool2000.exe"));
    // A folder with blanks, and the same with a trailing backslash, which
    // doubles the one before the program's name and still names it.
    const std::string folders[] = {m_editorFolder, m_editorFolder + "\\"};
    std::vector<std::string> expectedCommandLines;
    for (const std::string& folder : folders) {
        ASSERT_TRUE(registry.SetLocation(folder));
        CVarnelDlg dlg(Ini());
        std::vector<BoxContents> shown;
        Open(dlg, [&](HWND hwnd) {
            fs::remove(Ini());  // written by the window's start-up, gone since
            Answer(shown);
            PressButton(hwnd, IDC_LAUNCH_EDITOR);
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_TRUE(shown.empty()) << folder;
        EXPECT_EQ(test::FileText(Ini()), Entry(folder + "\\cool2000.exe"));
        expectedCommandLines.push_back(Quoted(folder + "\\cool2000.exe", "c:\\output.pcm"));
        // The recordings are files named by process id, listed in the
        // folder's own order: which press came first is not in them.
        std::vector<std::string> recorded = m_recording.WaitForCommandLines(expectedCommandLines.size());
        std::vector<std::string> expected = expectedCommandLines;
        std::sort(recorded.begin(), recorded.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(recorded, expected);
    }
}

TEST_F(EditorLaunch, MissingSettingsFileWithoutCoolEditShowsTheSentinelsMessage) {
    test::CoolEditRegistry registry;
    CVarnelDlg dlg(Ini());
    std::vector<BoxContents> shown;
    Open(dlg, [&](HWND hwnd) {
        fs::remove(Ini());
        Answer(shown);
        PressButton(hwnd, IDC_LAUNCH_EDITOR);
        PressButton(hwnd, IDCANCEL);
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "No Sound Editor Selected");
    EXPECT_EQ(test::FileText(Ini()), Entry(kNoSoundProgram));
}

using EditorBrowse = EditorLaunch;

TEST_F(EditorBrowse, ChosenProgramIsWrittenAndTypedTextKept) {
    WriteIni(Entry(kNoSoundProgram));
    CVarnelDlg dlg(Ini());
    std::string caption, folder;
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed.pcm");
        Then([&](HWND dialog) {
            caption = TextOf(dialog);
            char path[MAX_PATH] = {};
            SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
            folder = path;
            SetWindowTextA(NameField(dialog), m_editor.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        PressButton(hwnd, IDC_BROWSE_EDITOR);
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), "c:\\typed.pcm");
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(caption, "Open");
    EXPECT_EQ(CharUpperA(folder.data()), std::string("C:\\"));
    EXPECT_EQ(dlg.m_strEditorPath, m_editor);
    EXPECT_EQ(test::FileText(Ini()), Entry(m_editor));
    EXPECT_TRUE(m_recording.CommandLines().empty());
}

TEST_F(EditorBrowse, CancelledWritesNothing) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        fs::remove(Ini());
        Then([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
        PressButton(hwnd, IDC_BROWSE_EDITOR);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(m_unusedSteps, 0u);
    EXPECT_FALSE(fs::exists(Ini()));
}

TEST_F(EditorBrowse, ChosenWhileTheSettingsFileIsGoneCreatesIt) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        fs::remove(Ini());
        Then([&](HWND dialog) {
            SetWindowTextA(NameField(dialog), m_editor.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        PressButton(hwnd, IDC_BROWSE_EDITOR);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(test::FileText(Ini()), Entry(m_editor));
}

}  // namespace
}  // namespace varnel
