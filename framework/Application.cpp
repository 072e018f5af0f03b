#include "framework/Application.h"

#include "framework/MessageBox.h"
#include "framework/Window.h"

namespace varnel::framework {
namespace {
Application* gApplication = nullptr;
}

Application::Application() { gApplication = this; }

Application::~Application() {
    if (gApplication == this) gApplication = nullptr;
}

Application* GetApp() { return gApplication; }

HWND MainWindowHandle() {
    return gApplication && gApplication->m_pMainWnd ? gApplication->m_pMainWnd->GetSafeHwnd() : nullptr;
}

int RunApplication() {
    if (!gApplication) return -1;
    try {
        gApplication->InitInstance();
        return gApplication->ExitInstance();
    } catch (...) {
        ReportUnexpectedError();
        return -1;
    }
}

}  // namespace varnel::framework
