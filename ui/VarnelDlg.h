// The main window: one modal dialog (template 102, menu 131) holding every
// piece of state a run or an editor launch needs: the three paths, the
// function, the editor program and the settings-file path.
#pragma once

#include <windows.h>

#include <string>

#include "Controls.h"
#include "Dialog.h"
#include "DropEdit.h"

namespace varnel {

class CVarnelDlg : public framework::Dialog {
public:
    explicit CVarnelDlg(HWND pParent = nullptr);

    // Looks for Cool Edit 2000 in the registry and stores its program, or the
    // sentinel, in m_szEditorProgram and in the settings file.
    void DetectSoundEditor();

    // The sound editor program as last found or read. A string rather than a
    // fixed buffer: a long install folder must still give a whole path.
    std::string m_szEditorProgram;
    std::string m_strIniFile;
    std::string m_strQuote;
    std::string m_strSpace;
    std::string m_strEditorPath;
    framework::ProgressBar m_progress;
    std::string m_strSoundFile1;
    std::string m_strSoundFile2;
    std::string m_strOutputFile;
    // The selected function: the index of the checked radio button from
    // "Merge : Mono" (0) on, -1 when none is checked.
    int m_nFunction;
    // The drop behaviour of the fields 1004, 1005, 1006, in that order.
    CDropEdit m_dropEdit[3];
    HICON m_hIcon;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& dx) override;

private:
    void AddAboutToSystemMenu();
};

}  // namespace varnel
