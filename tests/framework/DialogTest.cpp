// The modal dialog base on a real template: initialisation writes the
// members into the controls, OK reads them back and closes, Cancel and Esc
// close without reading, the class's table routes commands and messages.
#include "FrameworkTestIds.h"
#include "WinTestSupport.h"
#include "framework/Control.h"
#include "framework/Dialog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace varnel::framework {
namespace {

using test::ModalScript;
using test::PressButton;
using test::TextOf;

class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(IDD_TEST, nullptr) {}

    std::string m_text = "initial";
    int m_choice = 1;
    ProgressBar m_progress;
    int m_pushes = 0;

protected:
    MessageTable Messages() const override {
        static constexpr MessageEntry kTable[] = {
            OnCommand<IDC_TEST_PUSH, &TestDialog::OnPush>(),
            OnMessage<WM_APP, &TestDialog::OnAdd>(),
            OnMessage<WM_APP + 1, &TestDialog::OnThrow>(),
        };
        return kTable;
    }
    void DoDataExchange(DataExchange& dx) override {
        Dialog::DoDataExchange(dx);
        dx.Control(IDC_TEST_PROGRESS, m_progress);
        dx.Text(IDC_TEST_EDIT, m_text);
        dx.Radio(IDC_TEST_RADIO_1, m_choice);
    }

private:
    void OnPush() { ++m_pushes; }
    LRESULT OnAdd(WPARAM wp, LPARAM lp) { return static_cast<LRESULT>(wp) + lp; }
    void OnThrow() { throw std::runtime_error("handler failed"); }
};

bool IsChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

TEST(ModalDialog, OpensWithTheMembersInTheControls) {
    TestDialog dialog;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        EXPECT_EQ(hwnd, dialog.GetSafeHwnd());
        EXPECT_EQ(TextOf(hwnd, IDC_TEST_EDIT), "initial");
        EXPECT_FALSE(IsChecked(hwnd, IDC_TEST_RADIO_1));
        EXPECT_TRUE(IsChecked(hwnd, IDC_TEST_RADIO_2));
        EXPECT_FALSE(IsChecked(hwnd, IDC_TEST_RADIO_3));
        EXPECT_EQ(dialog.m_progress.GetSafeHwnd(), GetDlgItem(hwnd, IDC_TEST_PROGRESS));
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(ModalDialog, OkReadsTheControlsThenCloses) {
    TestDialog dialog;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_TEST_EDIT, "typed");
        PressButton(hwnd, IDC_TEST_RADIO_3);
        PressButton(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_text, "typed");
    EXPECT_EQ(dialog.m_choice, 2);  // the push button inside the group is not counted
}

TEST(ModalDialog, CancelClosesWithoutReading) {
    TestDialog dialog;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        SetDlgItemTextA(hwnd, IDC_TEST_EDIT, "typed");
        PressButton(hwnd, IDC_TEST_RADIO_1);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_text, "initial");
    EXPECT_EQ(dialog.m_choice, 1);
}

TEST(ModalDialog, EscKeyClosesAsCancel) {
    TestDialog dialog;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        const HWND edit = GetDlgItem(hwnd, IDC_TEST_EDIT);
        SetWindowTextA(edit, "typed");
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_text, "initial");
}

TEST(ModalDialog, CommandRowRunsItsHandlerAndTheDialogStays) {
    TestDialog dialog;
    bool stillOpen = false;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        PressButton(hwnd, IDC_TEST_PUSH);
        PressButton(hwnd, IDC_TEST_PUSH);
        stillOpen = IsWindow(hwnd) != FALSE;
        PressButton(hwnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.m_pushes, 2);
    EXPECT_TRUE(stillOpen);
}

TEST(ModalDialog, MessageRowResultReachesTheSender) {
    TestDialog dialog;
    LRESULT sum = 0;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        sum = SendMessageA(hwnd, WM_APP, 2, 3);
        PressButton(hwnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(sum, 5);
}

TEST(ModalDialog, ExceptionInAHandlerIsToldThenEndsTheDialogInsteadOfCrossingWin32) {
    TestDialog dialog;
    test::BoxContents shown;
    ModalScript script;
    script.Then([&](HWND hwnd) { SendMessageA(hwnd, WM_APP + 1, 0, 0); });
    script.Then([&](HWND box) {
        shown = test::ReadBox(box);
        PressButton(box, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_EQ(shown.caption, "framework_tests");  // the program's name
    EXPECT_EQ(shown.text, "An unexpected error stopped the last action.\nhandler failed");
}

TEST(ModalDialog, OnlyClicksMenusAndAcceleratorsInvokeCommands) {
    TestDialog dialog;
    int afterNotifications = -1;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        const HWND push = GetDlgItem(hwnd, IDC_TEST_PUSH);
        // A control's notification with code 1 is no click, nor is IDOK's.
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_PUSH, 1), reinterpret_cast<LPARAM>(push));
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, 1), reinterpret_cast<LPARAM>(push));
        afterNotifications = dialog.m_pushes;
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_PUSH, 1), 0);  // an accelerator
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_PUSH, 0), 0);  // a menu item
        PressButton(hwnd, IDC_TEST_PUSH);
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(afterNotifications, 0);
    EXPECT_EQ(dialog.m_pushes, 3);
}

TEST(DataExchangeRadio, NoneCheckedReadsMinusOneAndMinusOneClearsTheGroup) {
    TestDialog dialog;
    bool anyChecked = true;
    bool otherGroupKept = false;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        CheckDlgButton(hwnd, IDC_TEST_OTHER_RADIO, BST_CHECKED);
        CheckDlgButton(hwnd, IDC_TEST_RADIO_2, BST_UNCHECKED);
        dialog.UpdateData(true);
        EXPECT_EQ(dialog.m_choice, -1);  // the next group's button is not part of it

        CheckDlgButton(hwnd, IDC_TEST_RADIO_3, BST_CHECKED);
        dialog.m_choice = -1;
        dialog.UpdateData(false);
        anyChecked =
            IsChecked(hwnd, IDC_TEST_RADIO_1) || IsChecked(hwnd, IDC_TEST_RADIO_2) || IsChecked(hwnd, IDC_TEST_RADIO_3);
        otherGroupKept = IsChecked(hwnd, IDC_TEST_OTHER_RADIO);
        PressButton(hwnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_FALSE(anyChecked);
    EXPECT_TRUE(otherGroupKept);
}

TEST(DataExchangeText, LongTextGoesBothWaysWhole) {
    TestDialog dialog;
    const std::string longText(5000, 'q');
    std::string shown;
    ModalScript script;
    script.Then([&](HWND hwnd) {
        SendDlgItemMessageA(hwnd, IDC_TEST_EDIT, EM_SETLIMITTEXT, 0, 0);
        dialog.m_text = longText;
        dialog.UpdateData(false);
        shown = TextOf(hwnd, IDC_TEST_EDIT);
        dialog.m_text.clear();
        PressButton(hwnd, IDOK);
    });
    dialog.DoModal();
    EXPECT_EQ(shown, longText);
    EXPECT_EQ(dialog.m_text, longText);
}

}  // namespace
}  // namespace varnel::framework
