// The main window opened for real, as the program's start-up opens it, and
// driven from inside its modal loop; every box or dialog it opens is
// answered by a step queued on the same script.
#pragma once

#include "WinTestSupport.h"
#include "framework/Application.h"
#include "support/TempFolder.h"
#include "ui/VarnelDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace varnel::test {

// The radio buttons that show a check, as 0 and 1 in group order.
std::string RadioChecks(HWND dialog);
// The Function menu's items that show a check, as 0 and 1 in function order.
std::string FunctionMenuChecks(HWND dialog);
std::string FileText(const std::string& path);
// The texts of a dialog's static controls, in template order.
std::vector<std::string> StaticTexts(HWND dialog);

class VarnelWindow : public ::testing::Test {
protected:
    VarnelWindow();

    // Opens `dlg` modally and runs `drive` on its window; returns the modal
    // result once `drive` has closed it. Steps left over (queued for boxes
    // that never appeared) are counted in m_unusedSteps.
    INT_PTR Open(CVarnelDlg& dlg, const std::function<void(HWND)>& drive);

    // Queues a step for the next box: records its caption and text into
    // `shown` and presses `button`.
    void Answer(std::vector<BoxContents>& shown, int button = IDOK);
    // Queues a step for the next dialog.
    void Then(ModalScript::Step step) { m_script->Then(std::move(step)); }

    std::string Ini() const { return m_folder / "varnel.ini"; }
    void WriteIni(const std::string& text) const;

    TempFolder m_folder;
    ComApartment m_com;
    framework::Application m_app;
    ModalScript* m_script = nullptr;
    std::size_t m_unusedSteps = 0;
};

// The caption the program's boxes carry, as its window's: its title.
std::string AppCaption();

}  // namespace varnel::test
