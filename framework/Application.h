// The application object: exactly one, constructed before the entry runs,
// whose start-up step runs the program and whose exit step ends it.
#pragma once

#include <windows.h>

namespace varnel::framework {

class Window;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up: the program's window runs modally inside it, and the program
    // ends when it returns (there is no message loop to run afterwards).
    virtual void InitInstance() {}
    // Exit; returns the process exit code.
    virtual int ExitInstance() { return 0; }

    // The window that owns the program's dialogs and boxes while it runs.
    Window* m_pMainWnd = nullptr;
};

// The one application object, or nullptr before it is constructed.
Application* GetApp();
// The main window's handle, or nullptr when there is none.
HWND MainWindowHandle();

// The program's entry: start-up, then exit; returns the exit code.
int RunApplication();

}  // namespace varnel::framework
