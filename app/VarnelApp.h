// The application: finds the settings file, starts COM (the drop fields'
// shortcut expansion needs it), runs the main window modally and ends the
// program when it closes.
#pragma once

#include <string>

#include "Application.h"

namespace varnel {

class CVarnelApp : public framework::Application {
public:
    CVarnelApp() = default;

    // Runs the whole program; returns false: there is no message loop to run
    // afterwards.
    bool InitInstance() override;
    int ExitInstance() override;

    // Full path of the settings file, beside the program (SettingsPath.h).
    std::string m_strIniFile;
    // The program's full path without its extension.
    std::string m_strBasePath;

private:
    bool m_bComStarted = false;
};

}  // namespace varnel
