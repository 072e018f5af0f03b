// The main window's commands for files, function and run: the three browse
// buttons and their menu items, the radio buttons and the Function menu,
// "Run..." and the File menu.
#include "VarnelDlg.h"

#include <commdlg.h>

#include "FileDialog.h"
#include "ProcessingRun.h"
#include "WindowRunObserver.h"
#include "resource.h"

namespace varnel {
namespace {

constexpr char kInitialSoundFile[] = "c:\\*.pcm";
// The open dialogs offer every file too; the save dialog only sound files.
constexpr char kOpenSoundFilter[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22|All Files (*.*)|*.*||";
constexpr char kSaveSoundFilter[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22||";
constexpr DWORD kOpenSoundFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr DWORD kSaveSoundFlags = OFN_NONETWORKBUTTON | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// The Function menu's items, in function order (0 to 3).
constexpr UINT kFunctionMenuItems[] = {IDM_FUNCTION_MONO, IDM_FUNCTION_STEREO, IDM_FUNCTION_JOIN_1_TO_2,
                                       IDM_FUNCTION_JOIN_2_TO_1};

}  // namespace

void CVarnelDlg::BrowseFor(std::string& member, bool openDialog) {
    // Read first: a path typed into any field and not yet used must survive
    // the write-back below, after OK and Cancel alike.
    UpdateData(true);
    if (const auto chosen = framework::ChooseFile(openDialog, kInitialSoundFile,
                                                  openDialog ? kOpenSoundFlags : kSaveSoundFlags,
                                                  openDialog ? kOpenSoundFilter : kSaveSoundFilter))
        member = *chosen;
    UpdateData(false);
}

void CVarnelDlg::OnBrowseSoundFile1() { BrowseFor(m_strSoundFile1, true); }
void CVarnelDlg::OnBrowseSoundFile2() { BrowseFor(m_strSoundFile2, true); }
void CVarnelDlg::OnBrowseOutputFile() { BrowseFor(m_strOutputFile, false); }

void CVarnelDlg::OnSelectSoundFile1() { OnBrowseSoundFile1(); }
void CVarnelDlg::OnSelectSoundFile2() { OnBrowseSoundFile2(); }
void CVarnelDlg::OnSelectOutputFile() { OnBrowseOutputFile(); }

// An automatic radio button has moved its check mark already.
void CVarnelDlg::OnRadioMono() {
    m_nFunction = 0;
    CheckFunctionMenuItem();
}
void CVarnelDlg::OnRadioStereo() {
    m_nFunction = 1;
    CheckFunctionMenuItem();
}
void CVarnelDlg::OnRadioJoin1To2() {
    m_nFunction = 2;
    CheckFunctionMenuItem();
}
void CVarnelDlg::OnRadioJoin2To1() {
    m_nFunction = 3;
    CheckFunctionMenuItem();
}

void CVarnelDlg::SelectFunctionByMenu(int function) {
    UpdateData(true);  // keep what was typed into the fields
    m_nFunction = function;
    UpdateData(false);
    SendDlgItemMessageA(m_hwnd, IDC_MONO + function, BM_SETCHECK, BST_CHECKED, 0);
    CheckFunctionMenuItem();
}

void CVarnelDlg::OnFunctionMono() { SelectFunctionByMenu(0); }
void CVarnelDlg::OnFunctionStereo() { SelectFunctionByMenu(1); }
void CVarnelDlg::OnFunctionJoin1To2() { SelectFunctionByMenu(2); }
void CVarnelDlg::OnFunctionJoin2To1() { SelectFunctionByMenu(3); }

void CVarnelDlg::CheckFunctionMenuItem() {
    const HMENU menu = GetMenu(m_hwnd);
    if (!menu) return;
    for (int function = 0; function < 4; ++function) {
        const UINT check = function == m_nFunction ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, kFunctionMenuItems[function], MF_BYCOMMAND | check);
    }
}

void CVarnelDlg::OnRun() {
    UpdateData(true);
    const RunRequest request{m_strSoundFile1, m_strSoundFile2, m_strOutputFile, m_nFunction};
    // The window's settings: 1024 or 2000 samples a chunk by the
    // 128000-byte rule, and a 1 ms pause after each chunk, since the run
    // holds the one user-interface thread.
    const ProcessingSettings settings;
    WindowRunObserver observer(m_progress);
    RunProcessing(request, settings, observer);
}

// Exit closes the window as "Quit" does: the fields are read first.
void CVarnelDlg::OnFileExit() { OnOK(); }

}  // namespace varnel
