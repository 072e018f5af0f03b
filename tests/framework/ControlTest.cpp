// Control objects attached to real controls: their message tables see the
// control's messages first, the rest reach the control, and they let go when
// the window goes.
#include "WinTestSupport.h"
#include "framework/Control.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnel::framework {
namespace {

constexpr int kFieldId = 1004;

// An edit whose table takes WM_APP (answering 42) and watches WM_SETTEXT,
// handing it on to the edit.
class WatchingEdit : public Edit {
public:
    int m_setTexts = 0;

protected:
    MessageTable Messages() const override {
        static constexpr MessageEntry kTable[] = {
            OnMessage<WM_APP, &WatchingEdit::OnApp>(),
            OnMessage<WM_SETTEXT, &WatchingEdit::OnSetText>(),
        };
        return kTable;
    }

private:
    LRESULT OnApp(WPARAM wp, LPARAM lp) { return 40 + static_cast<LRESULT>(wp) + lp; }
    LRESULT OnSetText(WPARAM, LPARAM) {
        ++m_setTexts;
        return Default();
    }
};

// An edit whose table keeps WM_SETTEXT from the edit.
class LockedEdit : public Edit {
protected:
    MessageTable Messages() const override {
        static constexpr MessageEntry kTable[] = {OnMessage<WM_SETTEXT, &LockedEdit::OnSetText>()};
        return kTable;
    }

private:
    void OnSetText() {}
};

// A top-level window holding one edit control, as a dialog holds a field.
class Host : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 20, m_parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFieldId)), GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_NE(m_edit, nullptr);
    }
    void TearDown() override {
        if (m_parent) DestroyWindow(m_parent);
    }

    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
};

using Subclassing = Host;

TEST_F(Subclassing, TableRowAnswersBeforeTheControl) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    EXPECT_EQ(field.GetSafeHwnd(), m_edit);
    EXPECT_EQ(SendMessageA(m_edit, WM_APP, 1, 1), 42);
}

TEST_F(Subclassing, HandlerCallingDefaultLetsTheControlActToo) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    field.SetText("c:\\output.pcm");
    EXPECT_EQ(field.m_setTexts, 1);
    EXPECT_EQ(WindowText(field.GetSafeHwnd()), "c:\\output.pcm");
}

TEST_F(Subclassing, HandlerWithoutDefaultKeepsTheMessageFromTheControl) {
    LockedEdit field;
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    field.SetText("typed");
    EXPECT_EQ(WindowText(field.GetSafeHwnd()), "");
}

TEST_F(Subclassing, MessagesWithoutRowReachTheControl) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    SendMessageA(m_edit, WM_CHAR, 'x', 1);
    SendMessageA(m_edit, WM_CHAR, 'y', 1);
    EXPECT_EQ(WindowText(field.GetSafeHwnd()), "xy");
    SendMessageA(m_edit, EM_SETSEL, 0, 1);
    SendMessageA(m_edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(WindowText(field.GetSafeHwnd()), "y");
}

TEST_F(Subclassing, MissingControlOrSecondAttachIsRefused) {
    WatchingEdit field;
    EXPECT_FALSE(field.SubclassWindow(GetDlgItem(m_parent, 4242)));
    EXPECT_EQ(field.GetSafeHwnd(), nullptr);
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    EXPECT_FALSE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
}

TEST_F(Subclassing, DestroyedWindowDetachesTheObject) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_EQ(field.GetSafeHwnd(), nullptr);
}

TEST_F(Subclassing, DetachedWindowGoesOnAsAPlainControl) {
    {
        WatchingEdit field;
        ASSERT_TRUE(field.SubclassWindow(GetDlgItem(m_parent, kFieldId)));
    }  // the object ends before its window
    EXPECT_TRUE(IsWindow(m_edit));
    EXPECT_EQ(SendMessageA(m_edit, WM_APP, 1, 1), 0);
    SetWindowTextA(m_edit, "still an edit");
    EXPECT_EQ(test::TextOf(m_edit), "still an edit");
}

TEST(CommandRows, MatchClicksMenusAndAcceleratorsOfTheirIdOnly) {
    struct Target : Window {
        void OnRun() {}
    };
    static constexpr MessageEntry kTable[] = {OnCommand<1010, &Target::OnRun>()};
    const auto button = static_cast<LPARAM>(0x1234);  // a control's window handle
    EXPECT_NE(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, BN_CLICKED), button), nullptr);
    EXPECT_NE(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, 0), 0), nullptr);  // menu item
    EXPECT_NE(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, 1), 0), nullptr);  // accelerator
    // Code 1 from a control is a notification (a list's or combo box's
    // selection change), not a click.
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, LBN_SELCHANGE), button), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, CBN_SELCHANGE), button), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, EN_CHANGE), button), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1011, BN_CLICKED), button), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_NOTIFY, 1010, 0), nullptr);
}

TEST_F(Subclassing, ProgressBarShowsItsPosition) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    const HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | PBS_SMOOTH, 10, 40, 180, 10, m_parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(1011)), nullptr, nullptr);
    ProgressBar progress;
    ASSERT_TRUE(progress.SubclassWindow(bar));
    progress.SetPos(37);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 37);
    progress.SetPos(100);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
}

}  // namespace
}  // namespace varnel::framework
