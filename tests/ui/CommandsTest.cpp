// The main window's commands on the real window: runs of each function with
// their outputs compared byte for byte and every failure message in order,
// the three browse dialogs, the function by radio button and by menu with
// the checks they leave, and the File menu.
#include "ImportHook.h"
#include "WindowTestSupport.h"
#include "resources/resource.h"
#include "support/ExpectedOutput.h"

#include <dlgs.h>
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace varnel {
namespace {

namespace fs = std::filesystem;
using test::BoxContents;
using test::Bytes;
using test::Concatenated;
using test::ExpectedMono;
using test::ExpectedStereo;
using test::PressButton;
using test::TextOf;

std::vector<std::string> Texts(const std::vector<BoxContents>& boxes) {
    std::vector<std::string> texts;
    for (const BoxContents& box : boxes) texts.push_back(box.text);
    return texts;
}

// A window with two inputs on disk, typed into the fields (not yet read:
// the run reads them itself).
class WindowRun : public test::VarnelWindow {
protected:
    WindowRun() {
        m_one = m_folder.Write("one.pcm", test::SampleBytes({100, -200, 32000, -32000, 7, 0}));
        m_two = m_folder.Write("two words.o22", test::SampleBytes({50, 50, 1000, -1000, -7, 1}));
        m_out = m_folder / "out.pcm";
    }

    static void Type(HWND hwnd, const std::string& one, const std::string& two, const std::string& out) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, one.c_str());
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, two.c_str());
        SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, out.c_str());
    }

    // Runs `function` (a radio button) on the three paths from the window;
    // returns the messages shown, each answered with OK.
    std::vector<BoxContents> RunFromWindow(const std::string& one, const std::string& two, const std::string& out,
                                           int radio = IDC_MONO) {
        std::vector<BoxContents> shown;
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) {
            Type(hwnd, one, two, out);
            PressButton(hwnd, radio);
            for (int i = 0; i < 3; ++i) Answer(shown);  // more than any run shows
            PressButton(hwnd, IDC_RUN);
            m_progressAfter = static_cast<int>(SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0));
            m_fieldsAfter = {TextOf(hwnd, IDC_SOUND_FILE_1), TextOf(hwnd, IDC_SOUND_FILE_2),
                             TextOf(hwnd, IDC_OUTPUT_FILE)};
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_EQ(m_unusedSteps, 3 - shown.size());
        for (const BoxContents& box : shown) EXPECT_EQ(box.caption, test::AppCaption());
        return shown;
    }

    std::string m_one, m_two, m_out;
    int m_progressAfter = -1;
    std::vector<std::string> m_fieldsAfter;
};

TEST_F(WindowRun, EachFunctionWritesItsOutputAndShowsNothing) {
    const Bytes a = test::ReadBytes(m_one), b = test::ReadBytes(m_two);
    const std::pair<int, Bytes> cases[] = {
        {IDC_MONO, ExpectedMono(a, b)},
        {IDC_STEREO, ExpectedStereo(a, b)},
        {IDC_JOIN_1_TO_2, Concatenated(a, b)},
        {IDC_JOIN_2_TO_1, Concatenated(b, a)},
    };
    ASSERT_EQ(ExpectedMono(a, b), test::SampleBytes({150, -150, 32767, -32768, 0, 1}));
    for (const auto& [radio, expected] : cases) {
        EXPECT_TRUE(RunFromWindow(m_one, m_two, m_out, radio).empty()) << radio;
        EXPECT_EQ(test::ReadBytes(m_out), expected) << radio;
        EXPECT_EQ(m_progressAfter, 0);
        EXPECT_EQ(m_fieldsAfter, (std::vector<std::string>{m_one, m_two, m_out}));
    }
}

TEST_F(WindowRun, LongInputsTakeManyChunksAndComeOutWhole) {
    const Bytes a = test::PatternBytes(130001, 3), b = test::PatternBytes(64000, 11);
    const std::string one = m_folder.Write("long one.pcm", a), two = m_folder.Write("long two.pcm", b);
    EXPECT_TRUE(RunFromWindow(one, two, m_out, IDC_JOIN_2_TO_1).empty());
    EXPECT_EQ(test::ReadBytes(m_out), Concatenated(b, a));
    EXPECT_TRUE(RunFromWindow(one, two, m_out, IDC_STEREO).empty());
    EXPECT_EQ(test::ReadBytes(m_out), ExpectedStereo(a, b));
    EXPECT_TRUE(RunFromWindow(one, two, m_out, IDC_MONO).empty());
    EXPECT_EQ(test::ReadBytes(m_out), ExpectedMono(a, b));
}

// What the run asks of the system timer, and what the progress bar shows
// meanwhile, in the order it happens. Wine's timer always runs fine, so the
// program's calls are taken over to be seen at all: the timer's functions
// reach it through GetProcAddress, from the winmm it loads.
std::vector<std::string> g_timerLog;
int g_timerRaises = 0;
HMODULE g_winmm = nullptr;
// The system's own functions, which the hooked imports no longer reach.
decltype(&LoadLibraryExW) g_loadLibraryExW = nullptr;
decltype(&GetProcAddress) g_getProcAddress = nullptr;

MMRESULT WINAPI RecordedBeginPeriod(UINT period) {
    g_timerLog.push_back("raise to " + std::to_string(period) + " ms");
    ++g_timerRaises;
    return TIMERR_NOERROR;
}

MMRESULT WINAPI RecordedEndPeriod(UINT period) {
    g_timerLog.push_back("give back " + std::to_string(period) + " ms");
    --g_timerRaises;
    return TIMERR_NOERROR;
}

HMODULE WINAPI RecordedLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    const HMODULE module = g_loadLibraryExW(name, file, flags);
    if (lstrcmpiW(name, L"winmm.dll") == 0) {
        g_timerLog.push_back(flags == LOAD_LIBRARY_SEARCH_SYSTEM32 ? "winmm from System32" : "winmm from anywhere");
        g_winmm = module;
    }
    return module;
}

FARPROC WINAPI RecordedGetProcAddress(HMODULE module, LPCSTR name) {
    const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
    if (module && module == g_winmm && byName && lstrcmpA(name, "timeBeginPeriod") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordedBeginPeriod));
    if (module && module == g_winmm && byName && lstrcmpA(name, "timeEndPeriod") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordedEndPeriod));
    return g_getProcAddress(module, name);
}

LRESULT CALLBACK RecordProgress(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == PBM_SETPOS && wp > 0)
        g_timerLog.push_back(g_timerRaises > 0 ? "chunk, fine timer" : "chunk, coarse timer");
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TEST_F(WindowRun, ChunksPauseWithTheTimerAt1MsWhichIsGivenBackAfterwards) {
    const test::ImportHook load("kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&RecordedLoadLibraryExW));
    const test::ImportHook find("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&RecordedGetProcAddress));
    ASSERT_TRUE(load.Installed() && find.Installed());
    g_loadLibraryExW = reinterpret_cast<decltype(&LoadLibraryExW)>(load.Original());
    g_getProcAddress = reinterpret_cast<decltype(&GetProcAddress)>(find.Original());
    const std::string one = m_folder.Write("long one.pcm", test::PatternBytes(20001, 3));
    const std::string two = m_folder.Write("long two.pcm", test::PatternBytes(12000, 11));
    const auto runLog = [&](const std::string& input1, int radio) {
        g_timerLog.clear();
        g_timerRaises = 0;
        std::vector<BoxContents> shown;
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) {
            Type(hwnd, input1, two, m_out);
            PressButton(hwnd, radio);
            Answer(shown);
            SetWindowSubclass(GetDlgItem(hwnd, IDC_PROGRESS), &RecordProgress, 1, 0);
            PressButton(hwnd, IDC_RUN);
            RemoveWindowSubclass(GetDlgItem(hwnd, IDC_PROGRESS), &RecordProgress, 1);
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_EQ(g_timerRaises, 0);
        return g_timerLog;
    };
    for (const int radio : {IDC_MONO, IDC_JOIN_2_TO_1}) {
        const std::vector<std::string> log = runLog(one, radio);
        ASSERT_GE(log.size(), 5u) << radio;
        EXPECT_EQ(log[0], "winmm from System32") << radio;
        EXPECT_EQ(log[1], "raise to 1 ms") << radio;
        EXPECT_EQ(log.back(), "give back 1 ms") << radio;
        EXPECT_EQ(std::count(log.begin(), log.end(), "chunk, fine timer"), static_cast<long>(log.size() - 3)) << radio;
    }
    // A run that ends before its function starts never raises it.
    EXPECT_TRUE(runLog(m_folder / "missing.pcm", IDC_MONO).empty());
}

// What a long run lets the window do, seen after each chunk: whether the
// system takes the window for hung, whether what was uncovered 100 chunks
// before is painted by now, and whether a click waiting since the first
// chunk has opened its dialog.
struct LongRunWatch {
    HWND window = nullptr;
    int chunks = 0;
    bool everHung = false;
    int leftUnpainted = 0;
    bool runEnded = false;
};
LongRunWatch g_watch;

LRESULT CALLBACK WatchLongRun(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == PBM_SETPOS) {
        LongRunWatch& watch = g_watch;
        watch.everHung = watch.everHung || IsHungAppWindow(watch.window);
        const HWND browse = GetDlgItem(watch.window, IDC_BROWSE_SOUND_FILE_1);
        if (watch.chunks == 0) PostMessageA(browse, BM_CLICK, 0, 0);
        // At least 100 ms later, each chunk pausing at least 1 ms.
        if (watch.chunks % 500 == 100) {
            if (GetUpdateRect(watch.window, nullptr, FALSE) || GetUpdateRect(browse, nullptr, FALSE))
                ++watch.leftUnpainted;
        }
        // As another window moved off it does.
        if (watch.chunks % 500 == 0)
            RedrawWindow(watch.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        ++watch.chunks;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// Past the 5 seconds after which Windows takes a window that asks for no
// message for hung: every chunk (4,000 bytes) pauses at least 1 ms, and
// there are more than 5,500 of them.
TEST_F(WindowRun, LongRunNeverLooksHungStaysPaintedAndTakesNoInput) {
    const Bytes a = test::PatternBytes(11 << 20, 3), b = test::PatternBytes((11 << 20) + 1, 11);
    const std::string one = m_folder.Write("long one.pcm", a), two = m_folder.Write("long two.pcm", b);
    g_watch = {};
    bool dialogAfterRun = false;
    std::chrono::steady_clock::duration runTime{};
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        g_watch.window = hwnd;
        Type(hwnd, one, two, m_out);
        PressButton(hwnd, IDC_JOIN_1_TO_2);
        SetWindowSubclass(GetDlgItem(hwnd, IDC_PROGRESS), &WatchLongRun, 1, 0);
        const auto start = std::chrono::steady_clock::now();
        PressButton(hwnd, IDC_RUN);
        runTime = std::chrono::steady_clock::now() - start;
        g_watch.runEnded = true;
        RemoveWindowSubclass(GetDlgItem(hwnd, IDC_PROGRESS), &WatchLongRun, 1);
        // The click made during the run comes now.
        Then([&, hwnd](HWND dialog) {
            dialogAfterRun = g_watch.runEnded;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
    });
    EXPECT_EQ(m_unusedSteps, 0u) << "the click was lost";
    EXPECT_TRUE(dialogAfterRun);
    ASSERT_GT(runTime, std::chrono::seconds(5)) << "too short a run to tell";
    EXPECT_FALSE(g_watch.everHung);
    EXPECT_EQ(g_watch.leftUnpainted, 0);
    EXPECT_EQ(test::ReadBytes(m_out), Concatenated(a, b));
}

TEST_F(WindowRun, MissingInput1IsNamedAndNothingIsCreated) {
    const auto shown = RunFromWindow(m_folder / "missing.pcm", m_two, m_out);
    EXPECT_EQ(Texts(shown), std::vector<std::string>{"Sound File 1 Not Found"});
    EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(WindowRun, MissingInput2IsNamedAndNothingIsCreated) {
    const auto shown = RunFromWindow(m_one, m_folder / "missing.o22", m_out);
    EXPECT_EQ(Texts(shown), std::vector<std::string>{"Sound File 2 Not Found"});
    EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(WindowRun, Input1ThatCannotBeOpenedIsReported) {
    fs::create_directories(m_folder / "a folder");
    const auto shown = RunFromWindow(m_folder / "a folder", m_two, m_out);
    EXPECT_EQ(Texts(shown), std::vector<std::string>{"Opening Sound File 1 Failed"});
    EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(WindowRun, SameFileAsBothInputsIsRefused) {
    const auto shown = RunFromWindow(m_one, m_one, m_out);
    EXPECT_EQ(Texts(shown), std::vector<std::string>{"Opening Sound File 2 Failed"});
    EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(WindowRun, OutputEqualToAnInputIsRefusedAndTheInputKept) {
    const Bytes before = test::ReadBytes(m_two);
    const auto shown = RunFromWindow(m_one, m_two, m_two);
    EXPECT_EQ(Texts(shown), (std::vector<std::string>{"sharingViolation ", "The Output Sound File was not created"}));
    EXPECT_EQ(test::ReadBytes(m_two), before);
}

TEST_F(WindowRun, OutputInAMissingFolderIsReportedTwice) {
    const auto shown = RunFromWindow(m_one, m_two, m_folder / "no such folder\\out.pcm");
    EXPECT_EQ(Texts(shown), (std::vector<std::string>{"badPath ", "The Output Sound File was not created"}));
    EXPECT_EQ(m_fieldsAfter[2], m_folder / "no such folder\\out.pcm");
}

TEST_F(WindowRun, FileMenuRunStartsARunLikeTheButton) {
    CVarnelDlg dlg(Ini());
    std::vector<BoxContents> shown;
    Open(dlg, [&](HWND hwnd) {
        Type(hwnd, m_one, m_two, m_out);
        PressButton(hwnd, IDC_JOIN_1_TO_2);
        Answer(shown);
        SendMessageA(hwnd, WM_COMMAND, IDM_FILE_RUN, 0);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(test::ReadBytes(m_out), Concatenated(test::ReadBytes(m_one), test::ReadBytes(m_two)));
}

TEST_F(WindowRun, NoFunctionSelectedCreatesAnEmptyOutput) {
    CVarnelDlg dlg(Ini());
    std::vector<BoxContents> shown;
    Open(dlg, [&](HWND hwnd) {
        Type(hwnd, m_one, m_two, m_out);
        CheckRadioButton(hwnd, IDC_MONO, IDC_JOIN_2_TO_1, 0);  // none checked: -1
        SendDlgItemMessageA(hwnd, IDC_MONO, BM_SETCHECK, BST_UNCHECKED, 0);
        Answer(shown);
        PressButton(hwnd, IDC_RUN);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dlg.m_nFunction, ProcessFunction::None);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(fs::exists(m_out));
    EXPECT_EQ(fs::file_size(m_out), 0u);
}

// The file dialogs of the three browse buttons and their menu items.
struct SeenDialog {
    std::string caption;
    std::vector<std::string> types;
    std::string folder;
};

SeenDialog Look(HWND dialog) {
    SeenDialog seen{TextOf(dialog), {}, {}};
    const HWND typeList = GetDlgItem(dialog, cmb1);
    const auto count = SendMessageA(typeList, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(typeList, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        seen.types.emplace_back(text);
    }
    char folder[MAX_PATH] = {};
    SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    seen.folder = folder;
    return seen;
}

HWND NameField(HWND dialog) { return GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1); }

const std::vector<std::string> kOpenTypes{"16 Bit Sound File (*.pcm)", "PCM Raw Data (*.o22)", "All Files (*.*)"};
const std::vector<std::string> kSaveTypes{"16 Bit Sound File (*.pcm)", "PCM Raw Data (*.o22)"};

struct BrowseCase {
    int field;
    UINT button;
    UINT menuItem;
    const char* caption;
    const std::vector<std::string>* types;
};
const BrowseCase kBrowseCases[] = {
    {IDC_SOUND_FILE_1, IDC_BROWSE_SOUND_FILE_1, IDM_SELECT_SOUND_FILE_1, "Open", &kOpenTypes},
    {IDC_SOUND_FILE_2, IDC_BROWSE_SOUND_FILE_2, IDM_SELECT_SOUND_FILE_2, "Open", &kOpenTypes},
    {IDC_OUTPUT_FILE, IDC_BROWSE_OUTPUT_FILE, IDM_SELECT_OUTPUT_FILE, "Save As", &kSaveTypes},
};

using Browsing = test::VarnelWindow;

TEST_F(Browsing, EachButtonAndMenuItemOpensItsDialogInCWithItsFilters) {
    for (const BrowseCase& c : kBrowseCases) {
        for (const bool byMenu : {false, true}) {
            CVarnelDlg dlg(Ini());
            SeenDialog seen;
            Open(dlg, [&](HWND hwnd) {
                Then([&](HWND dialog) {
                    seen = Look(dialog);
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                });
                if (byMenu)
                    SendMessageA(hwnd, WM_COMMAND, c.menuItem, 0);
                else
                    PressButton(hwnd, static_cast<int>(c.button));
                PressButton(hwnd, IDCANCEL);
            });
            EXPECT_EQ(m_unusedSteps, 0u);
            EXPECT_EQ(seen.caption, c.caption) << c.button << byMenu;
            EXPECT_EQ(seen.types, *c.types) << c.button << byMenu;
            EXPECT_EQ(CharUpperA(seen.folder.data()), std::string("C:\\")) << c.button << byMenu;
        }
    }
}

TEST_F(Browsing, TypedTextSurvivesACancelledDialog) {
    for (const BrowseCase& c : kBrowseCases) {
        CVarnelDlg dlg(Ini());
        std::vector<std::string> after;
        Open(dlg, [&](HWND hwnd) {
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed one.pcm");
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, "c:\\typed two.pcm");
            SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, "c:\\typed out.pcm");
            Then([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
            PressButton(hwnd, static_cast<int>(c.button));
            after = {TextOf(hwnd, IDC_SOUND_FILE_1), TextOf(hwnd, IDC_SOUND_FILE_2), TextOf(hwnd, IDC_OUTPUT_FILE)};
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_EQ(after, (std::vector<std::string>{"c:\\typed one.pcm", "c:\\typed two.pcm", "c:\\typed out.pcm"}));
        EXPECT_EQ(dlg.m_strSoundFile2, "c:\\typed two.pcm");
    }
}

TEST_F(Browsing, ChosenFileGoesIntoItsFieldAndTheOthersKeepTheirText) {
    const std::string chosen = m_folder.Write("chosen.pcm", {1, 2});
    const std::string newOutput = m_folder / "new output.pcm";
    for (const BrowseCase& c : kBrowseCases) {
        const std::string name = c.field == IDC_OUTPUT_FILE ? newOutput : chosen;
        CVarnelDlg dlg(Ini());
        std::vector<std::string> after;
        Open(dlg, [&](HWND hwnd) {
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed one.pcm");
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, "c:\\typed two.pcm");
            SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, "c:\\typed out.pcm");
            Then([&](HWND dialog) {
                SetWindowTextA(NameField(dialog), name.c_str());
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            });
            SendMessageA(hwnd, WM_COMMAND, c.menuItem, 0);
            after = {TextOf(hwnd, IDC_SOUND_FILE_1), TextOf(hwnd, IDC_SOUND_FILE_2), TextOf(hwnd, IDC_OUTPUT_FILE)};
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_EQ(m_unusedSteps, 0u);
        std::vector<std::string> expected{"c:\\typed one.pcm", "c:\\typed two.pcm", "c:\\typed out.pcm"};
        expected[static_cast<std::size_t>(c.field - IDC_SOUND_FILE_1)] = name;
        EXPECT_EQ(after, expected);
    }
    EXPECT_FALSE(fs::exists(newOutput));  // choosing an output creates nothing
}

// Names in any script, as the file dialog gives them, as Explorer drops them
// and as typed, then a run: the program's narrow strings are UTF-8.
TEST_F(WindowRun, NamesInAnyScriptChosenDroppedAndTypedAreRun) {
    const Bytes a = test::PatternBytes(3001, 5), b = test::PatternBytes(2002, 17);
    const std::string dropped = m_folder.Write("\u0417\u0432\u0443\u043a \u043e\u0434\u0438\u043d.pcm", a);
    const std::string chosen = m_folder.Write("\u58f0\u97f3 \u4e8c.o22", b);
    const std::string typed = m_folder / "\u0389\u03c7\u03bf\u03c2 caf\u00e9.pcm";
    const std::pair<int, Bytes> runs[] = {{IDC_JOIN_1_TO_2, Concatenated(a, b)}, {IDC_MONO, ExpectedMono(a, b)}};
    for (const auto& [radio, expected] : runs) {
        std::vector<BoxContents> shown;
        std::vector<std::string> fields;
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) {
            // Browsing writes every field from the window's members: first.
            Then([&](HWND dialog) {
                SetWindowTextA(NameField(dialog), chosen.c_str());
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            });
            PressButton(hwnd, IDC_BROWSE_SOUND_FILE_2);
            SendDlgItemMessageA(hwnd, IDC_SOUND_FILE_1, WM_DROPFILES,
                                reinterpret_cast<WPARAM>(test::MakeDrop({dropped}, true)), 0);
            SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, typed.c_str());
            PressButton(hwnd, radio);
            Answer(shown);
            PressButton(hwnd, IDC_RUN);
            fields = {TextOf(hwnd, IDC_SOUND_FILE_1), TextOf(hwnd, IDC_SOUND_FILE_2), TextOf(hwnd, IDC_OUTPUT_FILE)};
            PressButton(hwnd, IDCANCEL);
        });
        EXPECT_TRUE(Texts(shown).empty()) << (shown.empty() ? "" : shown[0].text);
        EXPECT_EQ(fields, (std::vector<std::string>{dropped, chosen, typed}));
        EXPECT_EQ(test::ReadBytes(typed), expected) << radio;
    }
}

// The function, by radio button and by menu.
using FunctionChoice = test::VarnelWindow;

TEST_F(FunctionChoice, MenuCheckStartsOnMono) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        EXPECT_EQ(test::FunctionMenuChecks(hwnd), "1000");
        PressButton(hwnd, IDCANCEL);
    });
}

TEST_F(FunctionChoice, MenuItemChecksItsRadioButtonAndItself) {
    const UINT items[] = {IDM_FUNCTION_MONO, IDM_FUNCTION_STEREO, IDM_FUNCTION_JOIN_1_TO_2, IDM_FUNCTION_JOIN_2_TO_1};
    const char* checks[] = {"1000", "0100", "0010", "0001"};
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        for (const int order : {1, 3, 2, 0, 2}) {
            SendMessageA(hwnd, WM_COMMAND, items[order], 0);
            EXPECT_EQ(dlg.m_nFunction, static_cast<ProcessFunction>(order));
            EXPECT_EQ(test::RadioChecks(hwnd), checks[order]);
            EXPECT_EQ(test::FunctionMenuChecks(hwnd), checks[order]);
        }
        PressButton(hwnd, IDCANCEL);
    });
}

TEST_F(FunctionChoice, MenuItemKeepsTypedText) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, "c:\\typed.pcm");
        SendMessageA(hwnd, WM_COMMAND, IDM_FUNCTION_STEREO, 0);
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_2), "c:\\typed.pcm");
        EXPECT_EQ(dlg.m_strSoundFile2, "c:\\typed.pcm");
        PressButton(hwnd, IDCANCEL);
    });
}

TEST_F(FunctionChoice, RadioButtonSetsTheFunctionAndMovesTheMenuCheckWithoutTouchingTheFields) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed.pcm");
        PressButton(hwnd, IDC_JOIN_2_TO_1);
        EXPECT_EQ(dlg.m_nFunction, ProcessFunction::Join2To1);
        EXPECT_EQ(test::RadioChecks(hwnd), "0001");
        EXPECT_EQ(test::FunctionMenuChecks(hwnd), "0001");
        EXPECT_EQ(TextOf(hwnd, IDC_SOUND_FILE_1), "c:\\typed.pcm");
        EXPECT_EQ(dlg.m_strSoundFile1, "c:\\ap1-10.pcm");  // not read
        PressButton(hwnd, IDC_STEREO);
        EXPECT_EQ(dlg.m_nFunction, ProcessFunction::Stereo);
        EXPECT_EQ(test::FunctionMenuChecks(hwnd), "0100");
        PressButton(hwnd, IDCANCEL);
    });
}

using FileMenu = test::VarnelWindow;

TEST_F(FileMenu, ExitClosesTheWindowLikeQuit) {
    CVarnelDlg dlg(Ini());
    const INT_PTR result = Open(dlg, [&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, "c:\\typed.pcm");
        PostMessageA(hwnd, WM_COMMAND, IDM_FILE_EXIT, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_strOutputFile, "c:\\typed.pcm");
}

}  // namespace
}  // namespace varnel
