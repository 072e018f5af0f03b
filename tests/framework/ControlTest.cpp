// Control objects attached to real controls: their message tables see the
// control's messages first, the rest reach the control, and they let go when
// the window goes.
#include "Control.h"
#include "Controls.h"
#include "WinTestSupport.h"

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

// An edit that records its WM_CREATE and can refuse it.
class CreatedEdit : public Edit {
public:
    bool m_refuse = false;
    std::vector<std::string> m_seen;

protected:
    MessageTable Messages() const override {
        static constexpr MessageEntry kTable[] = {OnMessage<WM_CREATE, &CreatedEdit::OnCreate>()};
        return kTable;
    }

private:
    int OnCreate(CREATESTRUCTA* create) {
        m_seen.push_back(create && create->lpszClass ? "create" : "create without record");
        if (Default() == -1) return -1;
        return m_refuse ? -1 : 0;
    }
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
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    EXPECT_EQ(field.GetSafeHwnd(), m_edit);
    EXPECT_EQ(SendMessageA(m_edit, WM_APP, 1, 1), 42);
}

TEST_F(Subclassing, HandlerCallingDefaultLetsTheControlActToo) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    field.SetText("c:\\output.pcm");
    EXPECT_EQ(field.m_setTexts, 1);
    EXPECT_EQ(field.Text(), "c:\\output.pcm");
}

TEST_F(Subclassing, HandlerWithoutDefaultKeepsTheMessageFromTheControl) {
    LockedEdit field;
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    field.SetText("typed");
    EXPECT_EQ(field.Text(), "");
}

TEST_F(Subclassing, MessagesWithoutRowReachTheControl) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    SendMessageA(m_edit, WM_CHAR, 'x', 1);
    SendMessageA(m_edit, WM_CHAR, 'y', 1);
    EXPECT_EQ(field.Text(), "xy");
    SendMessageA(m_edit, EM_SETSEL, 0, 1);
    SendMessageA(m_edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(field.Text(), "y");
}

TEST_F(Subclassing, MissingControlOrSecondAttachIsRefused) {
    WatchingEdit field;
    EXPECT_FALSE(field.SubclassDlgItem(4242, m_parent));
    EXPECT_EQ(field.GetSafeHwnd(), nullptr);
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    EXPECT_FALSE(field.SubclassDlgItem(kFieldId, m_parent));
}

TEST_F(Subclassing, DestroyedWindowDetachesTheObject) {
    WatchingEdit field;
    ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_EQ(field.GetSafeHwnd(), nullptr);
}

TEST_F(Subclassing, DetachedWindowGoesOnAsAPlainControl) {
    {
        WatchingEdit field;
        ASSERT_TRUE(field.SubclassDlgItem(kFieldId, m_parent));
    }  // the object ends before its window
    EXPECT_TRUE(IsWindow(m_edit));
    EXPECT_EQ(SendMessageA(m_edit, WM_APP, 1, 1), 0);
    SetWindowTextA(m_edit, "still an edit");
    EXPECT_EQ(test::TextOf(m_edit), "still an edit");
}

using Creating = Host;

TEST_F(Creating, CreatedControlSeesItsOwnWmCreate) {
    CreatedEdit field;
    const RECT rect{10, 40, 210, 60};
    ASSERT_TRUE(field.Create("EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, rect, m_parent, 1005));
    EXPECT_EQ(field.m_seen, std::vector<std::string>{"create"});
    EXPECT_EQ(GetDlgItem(m_parent, 1005), field.GetSafeHwnd());
}

TEST_F(Creating, RefusedWmCreateMeansNoWindow) {
    CreatedEdit field;
    field.m_refuse = true;
    const RECT rect{10, 40, 210, 60};
    EXPECT_FALSE(field.Create("EDIT", WS_CHILD | WS_VISIBLE, 0, rect, m_parent, 1005));
    EXPECT_EQ(field.m_seen.size(), 1u);
    EXPECT_EQ(field.GetSafeHwnd(), nullptr);
    EXPECT_EQ(GetDlgItem(m_parent, 1005), nullptr);
}

TEST(CommandRows, MatchClicksMenusAndAcceleratorsOfTheirIdOnly) {
    struct Target : Window {
        void OnRun() {}
    };
    static constexpr MessageEntry kTable[] = {OnCommand<1010, &Target::OnRun>()};
    EXPECT_NE(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, BN_CLICKED)), nullptr);
    EXPECT_NE(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, 1)), nullptr);  // accelerator
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1010, EN_CHANGE)), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_COMMAND, MAKEWPARAM(1011, BN_CLICKED)), nullptr);
    EXPECT_EQ(FindEntry(kTable, WM_NOTIFY, 1010), nullptr);
}

using StandardControls = Host;

TEST_F(StandardControls, ButtonCheckStateRoundTrips) {
    const HWND radio = CreateWindowExA(0, "BUTTON", "Mono", WS_CHILD | BS_AUTORADIOBUTTON, 10, 40, 80, 20, m_parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000)), nullptr, nullptr);
    Button button;
    ASSERT_TRUE(button.SubclassDlgItem(1000, m_parent));
    EXPECT_EQ(button.GetCheck(), BST_UNCHECKED);
    button.SetCheck(BST_CHECKED);
    EXPECT_EQ(SendMessageA(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(button.GetCheck(), BST_CHECKED);
}

TEST_F(StandardControls, ProgressBarTakesRangeAndPosition) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | PBS_SMOOTH, 10, 40, 180, 10, m_parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(1011)), nullptr, nullptr);
    ProgressBar progress;
    ASSERT_TRUE(progress.SubclassDlgItem(1011, m_parent));
    progress.SetRange(0, 100);
    EXPECT_EQ(progress.SetPos(37), 0);
    EXPECT_EQ(progress.GetPos(), 37);
    EXPECT_EQ(progress.SetPos(100), 37);
    EXPECT_EQ(progress.GetPos(), 100);
}

}  // namespace
}  // namespace varnel::framework
