// The main window's commands for files, function and run: the three browse
// buttons and their menu items, the radio buttons and the Function menu,
// "Run..." and the File menu.
#include "ui/VarnelDlg.h"

#include <commdlg.h>

#include "framework/FileDialog.h"
#include "processing/ProcessingRun.h"
#include "processing/SoundFileFormats.h"
#include "resources/resource.h"
#include "ui/FunctionControls.h"
#include "ui/WindowRunObserver.h"

namespace varnel {
namespace {

constexpr char kInitialSoundFile[] = "c:\\*.pcm";
// The open dialogs offer every file too; the save dialog only sound files.
constexpr char kOpenSoundFilter[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22|All Files (*.*)|*.*||";
constexpr char kSaveSoundFilter[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22||";
constexpr DWORD kOpenSoundFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr DWORD kSaveSoundFlags = OFN_NONETWORKBUTTON | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

}  // namespace

void CVarnelDlg::BrowseFor(std::string& member, bool openDialog) {
    // Read first: a path typed into any field and not yet used must survive
    // the write-back below, after OK and Cancel alike.
    UpdateData(true);
    if (const auto chosen =
            framework::ChooseFile(openDialog, kInitialSoundFile, openDialog ? kOpenSoundFlags : kSaveSoundFlags,
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
void CVarnelDlg::SelectFunction(ProcessFunction function) {
    m_nFunction = function;
    CheckFunctionMenuItem();
}

void CVarnelDlg::OnRadioMono() { SelectFunction(ProcessFunction::Mono); }
void CVarnelDlg::OnRadioStereo() { SelectFunction(ProcessFunction::Stereo); }
void CVarnelDlg::OnRadioJoin1To2() { SelectFunction(ProcessFunction::Join1To2); }
void CVarnelDlg::OnRadioJoin2To1() { SelectFunction(ProcessFunction::Join2To1); }

void CVarnelDlg::SelectFunctionByMenu(ProcessFunction function) {
    UpdateData(true);  // keep what was typed into the fields
    m_nFunction = function;
    UpdateData(false);
    for (const FunctionControls& controls : kFunctionControls) {
        if (controls.function == function) SendDlgItemMessageA(m_hwnd, controls.radio, BM_SETCHECK, BST_CHECKED, 0);
    }
    CheckFunctionMenuItem();
}

void CVarnelDlg::OnFunctionMono() { SelectFunctionByMenu(ProcessFunction::Mono); }
void CVarnelDlg::OnFunctionStereo() { SelectFunctionByMenu(ProcessFunction::Stereo); }
void CVarnelDlg::OnFunctionJoin1To2() { SelectFunctionByMenu(ProcessFunction::Join1To2); }
void CVarnelDlg::OnFunctionJoin2To1() { SelectFunctionByMenu(ProcessFunction::Join2To1); }

void CVarnelDlg::CheckFunctionMenuItem() {
    const HMENU menu = GetMenu(m_hwnd);
    if (!menu) return;
    for (const FunctionControls& controls : kFunctionControls) {
        const UINT check = controls.function == m_nFunction ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, controls.menuItem, MF_BYCOMMAND | check);
    }
}

void CVarnelDlg::OnRun() {
    UpdateData(true);
    // The inputs opened exclusively, the output truncated where it is.
    FilesInPlace files({m_strSoundFile1, m_strSoundFile2}, m_strOutputFile);
    // WAV inputs are read as varnel-cli reads them. The output is WAV when
    // its name asks for it; its rate comes from a WAV input, as the window
    // asks for none, so raw inputs alone are refused a WAV output before it
    // is opened rather than given a .wav file that holds no WAV.
    SoundFileChoices choices;
    choices.function = m_nFunction;
    choices.wavOutput = NamesWavFile(m_strOutputFile);
    SoundFileFormats formats(choices);
    // The window's settings: 1024 or 2000 samples a chunk by the
    // 128000-byte rule, and a 1 ms pause after each chunk, since the run
    // holds the one user-interface thread.
    const ProcessingSettings settings;
    WindowRunObserver observer(m_progress, {m_strSoundFile1, m_strSoundFile2, m_strOutputFile, m_nFunction});
    RunProcessing(m_nFunction, files, formats, settings, observer);
}

// Exit closes the window as "Quit" does: the fields are read first.
void CVarnelDlg::OnFileExit() { OnOK(); }

}  // namespace varnel
