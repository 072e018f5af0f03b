// The main window: one modal dialog (template 102, menu 131) holding every
// piece of state a run or an editor launch needs: the three paths, the
// function, the editor program and the settings-file path.
#pragma once

#include <windows.h>

#include <string>

#include "dropedit/DropEdit.h"
#include "framework/Control.h"
#include "framework/Dialog.h"
#include "processing/ProcessFunctions.h"

namespace varnel {

class CVarnelDlg : public framework::Dialog {
public:
    // `iniFile`: the settings file's full path.
    explicit CVarnelDlg(std::string iniFile, HWND pParent = nullptr);

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
    // The selected function; None when no radio button is checked.
    ProcessFunction m_nFunction;
    // The drop behaviour of the fields 1004, 1005, 1006, in that order.
    CDropEdit m_dropEdit[3];
    HICON m_hIcon;

    // The position of an icon of `iconSize` centred in `clientSize` (one
    // axis): (client - icon + 1) / 2, truncated toward zero.
    static int CentredIconOrigin(int clientSize, int iconSize);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(framework::DataExchange& dx) override;
    framework::MessageTable Messages() const override;

    // The About box and the icon (VarnelDlgAbout.cpp).
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();

    // Files, function and run (VarnelDlgCommands.cpp).
    void OnBrowseSoundFile1();
    void OnBrowseSoundFile2();
    void OnBrowseOutputFile();
    void OnSelectSoundFile1();
    void OnSelectSoundFile2();
    void OnSelectOutputFile();
    void OnRadioMono();
    void OnRadioStereo();
    void OnRadioJoin1To2();
    void OnRadioJoin2To1();
    void OnFunctionMono();
    void OnFunctionStereo();
    void OnFunctionJoin1To2();
    void OnFunctionJoin2To1();
    void OnRun();
    void OnFileExit();

    // The sound editor (VarnelDlgEditor.cpp).
    void OnLaunchEditor();
    void OnBrowseEditor();

private:
    void AddAboutToSystemMenu();
    void ShowAboutBox();
    // Reads the fields, lets the user choose a file for `member` in a file
    // dialog, and writes the members back.
    void BrowseFor(std::string& member, bool openDialog);
    void SelectFunction(ProcessFunction function);
    void SelectFunctionByMenu(ProcessFunction function);
    // Moves the Function menu's check mark to m_nFunction.
    void CheckFunctionMenuItem();
};

}  // namespace varnel
