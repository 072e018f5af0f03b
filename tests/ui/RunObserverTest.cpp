// What a run started from the window shows: OK boxes with the program's
// caption, a real progress bar, and the wait cursor while it works.
#include "WinTestSupport.h"
#include "WindowTestSupport.h"
#include "ui/WindowRunObserver.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

namespace varnel {
namespace {

class RunObserverOnWindow : public ::testing::Test {
protected:
    RunObserverOnWindow() {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        m_parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr, nullptr, nullptr);
        m_bar.SubclassWindow(CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 180, 20, m_parent,
                                             nullptr, nullptr, nullptr));
    }
    ~RunObserverOnWindow() override { DestroyWindow(m_parent); }

    int Position() const { return static_cast<int>(SendMessageA(m_bar.GetSafeHwnd(), PBM_GETPOS, 0, 0)); }

    HWND m_parent = nullptr;
    framework::ProgressBar m_bar;
};

TEST_F(RunObserverOnWindow, ProgressBarFollowsTheRunAndGoesBackToZero) {
    ASSERT_NE(m_bar.GetSafeHwnd(), nullptr);
    WindowRunObserver observer(m_bar);
    observer.ShowProgress(1, 4);
    EXPECT_EQ(Position(), 25);
    observer.ShowProgress(3999, 4000);
    EXPECT_EQ(Position(), 99);
    observer.ShowProgress(4000, 4000);
    EXPECT_EQ(Position(), 100);
    observer.ResetProgress();
    EXPECT_EQ(Position(), 0);
}

TEST_F(RunObserverOnWindow, WaitCursorWhileTheFunctionWorks) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    WindowRunObserver observer(m_bar);
    observer.BeginWait();
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    observer.EndWait();
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(RunObserverOnWindow, MessageIsAnOkBoxWithTheProgramsCaption) {
    WindowRunObserver observer(m_bar);
    test::BoxContents shown;
    bool otherButtons = true;
    test::ModalScript script;
    script.Then([&](HWND box) {
        shown = test::ReadBox(box);
        otherButtons = false;
        for (const int id : {IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT, IDIGNORE}) {
            const HWND button = GetDlgItem(box, id);
            if (button && IsWindowVisible(button)) otherButtons = true;
        }
        test::PressButton(box, IDOK);
    });
    observer.ReportFailure(BufferRefused{1});
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_EQ(shown.caption, test::AppCaption());
    EXPECT_EQ(shown.text, "Insufficient memory available for buffer 1\n");
    EXPECT_FALSE(otherButtons);
}

}  // namespace
}  // namespace varnel
