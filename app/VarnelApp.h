// The application: finds the settings file, starts COM (the drop fields'
// shortcut expansion needs it), runs the main window modally and ends the
// program when it closes.
#pragma once

#include <string>

#include "framework/Application.h"

namespace varnel {

class CVarnelApp : public framework::Application {
public:
    CVarnelApp() = default;

    // Runs the whole program: the main window, modally.
    void InitInstance() override;
    int ExitInstance() override;

    // Full path of the settings file, beside the program or in the user's
    // application data (SettingsPath.h).
    std::string m_strIniFile;

private:
    bool m_bComStarted = false;
};

}  // namespace varnel
