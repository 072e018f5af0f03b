#include "app/VarnelApp.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/SettingsPath.h"
#include "framework/Module.h"
#include "ui/VarnelDlg.h"

namespace varnel {

void CVarnelApp::InitInstance() {
    // S_FALSE (already started on this thread) must be balanced too.
    m_bComStarted = SUCCEEDED(CoInitialize(nullptr));

    // The progress bar's window class; with common controls 6 (the
    // manifest) the controls also take the system's visual style.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    // The program's own full path, not the first argument: a program started
    // by a relative path or under another name still finds its settings
    // beside itself (or, from a folder it cannot write, in the user's own).
    const std::string programPath = framework::ModuleFileName();
    m_strIniFile = SettingsFileFor(programPath);

    CVarnelDlg dlg(m_strIniFile);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
}

int CVarnelApp::ExitInstance() {
    if (m_bComStarted) CoUninitialize();
    m_bComStarted = false;
    return Application::ExitInstance();
}

}  // namespace varnel
