#include "ui/VarnelDlg.h"

#include "editor/SoundEditorDiscovery.h"
#include "editor/SoundEditorSetting.h"
#include "framework/Module.h"
#include "resources/resource.h"
#include "ui/FunctionControls.h"

namespace varnel {

CVarnelDlg::CVarnelDlg(std::string iniFile, HWND pParent)
    : framework::Dialog(IDD_VARNEL_DIALOG, pParent),
      m_strIniFile(std::move(iniFile)),
      m_nFunction(ProcessFunction::None),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

framework::MessageTable CVarnelDlg::Messages() const {
    using framework::OnCommand;
    using framework::OnMessage;
    static constexpr framework::MessageEntry kTable[] = {
        OnMessage<WM_SYSCOMMAND, &CVarnelDlg::OnSysCommand>(),
        OnMessage<WM_PAINT, &CVarnelDlg::OnPaint>(),
        OnMessage<WM_QUERYDRAGICON, &CVarnelDlg::OnQueryDragIcon>(),
        OnCommand<IDC_BROWSE_SOUND_FILE_1, &CVarnelDlg::OnBrowseSoundFile1>(),
        OnCommand<IDC_BROWSE_SOUND_FILE_2, &CVarnelDlg::OnBrowseSoundFile2>(),
        OnCommand<IDC_BROWSE_OUTPUT_FILE, &CVarnelDlg::OnBrowseOutputFile>(),
        OnCommand<IDC_RUN, &CVarnelDlg::OnRun>(),
        OnCommand<IDC_MONO, &CVarnelDlg::OnRadioMono>(),
        OnCommand<IDC_STEREO, &CVarnelDlg::OnRadioStereo>(),
        OnCommand<IDC_JOIN_1_TO_2, &CVarnelDlg::OnRadioJoin1To2>(),
        OnCommand<IDC_JOIN_2_TO_1, &CVarnelDlg::OnRadioJoin2To1>(),
        OnCommand<IDC_BROWSE_EDITOR, &CVarnelDlg::OnBrowseEditor>(),
        OnCommand<IDC_LAUNCH_EDITOR, &CVarnelDlg::OnLaunchEditor>(),
        OnCommand<IDM_HELP_ABOUT, &CVarnelDlg::OnAbout>(),
        OnCommand<IDM_FUNCTION_MONO, &CVarnelDlg::OnFunctionMono>(),
        OnCommand<IDM_FUNCTION_STEREO, &CVarnelDlg::OnFunctionStereo>(),
        OnCommand<IDM_FUNCTION_JOIN_1_TO_2, &CVarnelDlg::OnFunctionJoin1To2>(),
        OnCommand<IDM_FUNCTION_JOIN_2_TO_1, &CVarnelDlg::OnFunctionJoin2To1>(),
        OnCommand<IDM_FILE_EXIT, &CVarnelDlg::OnFileExit>(),
        // File > Run... starts a run as the "Run..." button does.
        OnCommand<IDM_FILE_RUN, &CVarnelDlg::OnRun>(),
        OnCommand<IDM_SELECT_SOUND_FILE_1, &CVarnelDlg::OnSelectSoundFile1>(),
        OnCommand<IDM_SELECT_SOUND_FILE_2, &CVarnelDlg::OnSelectSoundFile2>(),
        OnCommand<IDM_SELECT_OUTPUT_FILE, &CVarnelDlg::OnSelectOutputFile>(),
    };
    return kTable;
}

void CVarnelDlg::DoDataExchange(framework::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    dx.Control(IDC_PROGRESS, m_progress);
    dx.Text(IDC_SOUND_FILE_1, m_strSoundFile1);
    dx.Text(IDC_SOUND_FILE_2, m_strSoundFile2);
    dx.Text(IDC_OUTPUT_FILE, m_strOutputFile);
    // The radio group gives the index of the checked button.
    int radio = RadioIndexOf(m_nFunction);
    dx.Radio(IDC_MONO, radio);
    m_nFunction = FunctionOfRadioIndex(radio);
}

BOOL CVarnelDlg::OnInitDialog() {
    Dialog::OnInitDialog();

    AddAboutToSystemMenu();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    constexpr int kPathFields[] = {IDC_SOUND_FILE_1, IDC_SOUND_FILE_2, IDC_OUTPUT_FILE};
    for (int i = 0; i < 3; ++i) {
        m_dropEdit[i].SubclassDlgItem(kPathFields[i], *this);
        m_dropEdit[i].SetAcceptDirectories(FALSE);
        m_dropEdit[i].SetText("");
    }

    if (!framework::FileExists(m_strIniFile)) DetectSoundEditor();

    m_strSoundFile1 = "c:\\ap1-10.pcm";
    m_strSoundFile2 = "c:\\M20101.o22";
    m_strOutputFile = "c:\\output.pcm";
    m_strSpace = " ";
    m_strQuote = "\"";
    m_nFunction = ProcessFunction::Mono;
    UpdateData(false);
    SendDlgItemMessageA(m_hwnd, IDC_MONO, BM_SETCHECK, BST_CHECKED, 0);
    return TRUE;
}

void CVarnelDlg::AddAboutToSystemMenu() {
    const HMENU systemMenu = GetSystemMenu(m_hwnd, FALSE);
    if (!systemMenu) return;
    const std::string about = framework::LoadStringResource(IDS_ABOUTBOX);
    if (about.empty()) return;
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

void CVarnelDlg::DetectSoundEditor() {
    m_szEditorProgram = FindSoundEditor();
    WriteSoundEditorSetting(m_strIniFile, m_szEditorProgram);
}

}  // namespace varnel
