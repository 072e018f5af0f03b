#include "MessageBox.h"

#include "Application.h"
#include "Module.h"
#include "Window.h"

namespace varnel::framework {

int AppMessageBox(const std::string& text, UINT type) {
    const Application* app = GetApp();
    HWND owner = nullptr;
    if (app && app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
        owner = GetLastActivePopup(app->m_pMainWnd->GetSafeHwnd());  // a box over a box stays modal to it
    const std::string caption = app ? app->AppName() : ProgramName();
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace varnel::framework
