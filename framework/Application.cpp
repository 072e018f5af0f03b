#include "Application.h"

#include "Module.h"
#include "UnexpectedError.h"

namespace varnel::framework {
namespace {

Application* gApplication = nullptr;

}  // namespace

Application::Application() { gApplication = this; }

Application::~Application() {
    if (gApplication == this) gApplication = nullptr;
}

std::string Application::AppName() const { return ProgramName(); }

Application* GetApp() { return gApplication; }

int RunApplication() {
    Application* app = GetApp();
    if (!app) return -1;
    try {
        app->InitInstance();
        return app->ExitInstance();
    } catch (...) {
        ReportUnexpectedError();
        return -1;
    }
}

}  // namespace varnel::framework
