// The About box from the Help menu and from the system menu, the system
// menu's entry, the window icons, and the icon painted while minimised.
#include "VarnelVersion.h"
#include "WindowTestSupport.h"
#include "resources/resource.h"

#include <algorithm>
#include <functional>

namespace varnel {
namespace {

using test::PressButton;
using test::TextOf;

const std::vector<std::string> kAboutTexts{
    "Varnel Version " + std::to_string(VARNEL_VERSION_MAJOR) + "." + std::to_string(VARNEL_VERSION_MINOR),
    "Copyright (C) 2026", "The Varnel team"};

struct SeenAbout {
    std::string caption;
    std::vector<std::string> texts;
    bool mainWindowEnabled = true;
};

class AboutBox : public test::VarnelWindow {
protected:
    // Queues a step that records the next box and closes it with `close`.
    void ExpectAbout(std::vector<SeenAbout>& seen, HWND main, const std::function<void(HWND)>& close) {
        Then([&seen, main, close](HWND box) {
            seen.push_back({TextOf(box), test::StaticTexts(box), IsWindowEnabled(main) != FALSE});
            close(box);
        });
    }
};

void PressOk(HWND box) { PressButton(box, IDOK); }

TEST_F(AboutBox, HelpMenuOpensItAsOftenAsAsked) {
    CVarnelDlg dlg(Ini());
    std::vector<SeenAbout> seen;
    Open(dlg, [&](HWND hwnd) {
        for (int i = 0; i < 3; ++i) {
            ExpectAbout(seen, hwnd, PressOk);
            SendMessageA(hwnd, WM_COMMAND, IDM_HELP_ABOUT, 0);
        }
        PressButton(hwnd, IDCANCEL);
    });
    ASSERT_EQ(seen.size(), 3u);
    for (const SeenAbout& about : seen) {
        EXPECT_EQ(about.caption, "About Varnel");
        EXPECT_EQ(about.texts, kAboutTexts);
        EXPECT_FALSE(about.mainWindowEnabled);  // modal to the main window
    }
}

TEST_F(AboutBox, EscAndTheCloseBoxCloseItLikeOk) {
    CVarnelDlg dlg(Ini());
    std::vector<SeenAbout> seen;
    INT_PTR result = 0;
    result = Open(dlg, [&](HWND hwnd) {
        ExpectAbout(seen, hwnd, [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
        SendMessageA(hwnd, WM_COMMAND, IDM_HELP_ABOUT, 0);
        ExpectAbout(seen, hwnd, [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); });
        SendMessageA(hwnd, WM_COMMAND, IDM_HELP_ABOUT, 0);
        EXPECT_TRUE(IsWindowEnabled(hwnd));
        PressButton(hwnd, IDCANCEL);
    });
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(AboutBox, SystemMenuEndsWithASeparatorAndTheAboutEntry) {
    CVarnelDlg dlg(Ini());
    Open(dlg, [&](HWND hwnd) {
        const HMENU menu = GetSystemMenu(hwnd, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator{};
        separator.cbSize = sizeof(separator);
        separator.fMask = MIIM_FTYPE | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        char text[64] = {};
        MENUITEMINFOA about{};
        about.cbSize = sizeof(about);
        about.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        about.dwTypeData = text;
        about.cch = sizeof(text);
        ASSERT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(count - 1), TRUE, &about));
        EXPECT_EQ(about.wID, static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_STREQ(text, "&About Varnel...");
        PressButton(hwnd, IDCANCEL);
    });
}

TEST_F(AboutBox, EverySystemCommandFrom16To31OpensIt) {
    CVarnelDlg dlg(Ini());
    std::vector<SeenAbout> seen;
    Open(dlg, [&](HWND hwnd) {
        for (WPARAM code = 16; code <= 31; ++code) {
            ExpectAbout(seen, hwnd, PressOk);
            SendMessageA(hwnd, WM_SYSCOMMAND, code, 0);
        }
        PressButton(hwnd, IDCANCEL);
    });
    ASSERT_EQ(seen.size(), 16u);
    for (const SeenAbout& about : seen) EXPECT_EQ(about.caption, "About Varnel");
}

TEST_F(AboutBox, OtherSystemCommandsKeepTheirMeaning) {
    CVarnelDlg dlg(Ini());
    std::vector<SeenAbout> seen;
    const INT_PTR result = Open(dlg, [&](HWND hwnd) {
        ExpectAbout(seen, hwnd, PressOk);  // must stay unused
        SendMessageA(hwnd, WM_SYSCOMMAND, 32, 0);
        SendMessageA(hwnd, WM_SYSCOMMAND, 0x0F, 0);
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(IsIconic(hwnd));
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(IsIconic(hwnd));
        SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, "c:\\typed.pcm");
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(m_unusedSteps, 1u);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_strSoundFile1, "c:\\ap1-10.pcm");  // closed without reading
}

using WindowIcon = test::VarnelWindow;

TEST_F(WindowIcon, BigSmallAndDragIconAreTheApplicationIcon) {
    CVarnelDlg dlg(Ini());
    ASSERT_NE(dlg.m_hIcon, nullptr);
    Open(dlg, [&](HWND hwnd) {
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0)), dlg.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0)), dlg.m_hIcon);
        PressButton(hwnd, IDCANCEL);
    });
}

TEST(IconCentring, RoundsUpHalvesAndTruncatesTowardZero) {
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(32, 32), 0);
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(100, 32), 34);
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(101, 32), 35);
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(33, 32), 1);
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(20, 32), -5);  // -11 / 2, not -6
    EXPECT_EQ(CVarnelDlg::CentredIconOrigin(0, 32), -15);
}

// Records the messages the main window receives, ahead of its own procedure.
thread_local std::vector<UINT>* tReceived = nullptr;
thread_local WNDPROC tOriginal = nullptr;

LRESULT CALLBACK Recording(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (tReceived) tReceived->push_back(msg);
    return CallWindowProcA(tOriginal, hwnd, msg, wp, lp);
}

TEST_F(WindowIcon, IconIsDrawnOnAnErasedBackgroundOnlyWhileMinimised) {
    CVarnelDlg dlg(Ini());
    std::vector<UINT> normal, minimised;
    Open(dlg, [&](HWND hwnd) {
        tOriginal =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Recording)));
        tReceived = &normal;
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ShowWindow(hwnd, SW_MINIMIZE);
        tReceived = &minimised;
        InvalidateRect(hwnd, nullptr, TRUE);
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        tReceived = nullptr;
        ShowWindow(hwnd, SW_RESTORE);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tOriginal));
        PressButton(hwnd, IDCANCEL);
    });
    const auto has = [](const std::vector<UINT>& messages, UINT msg) {
        return std::find(messages.begin(), messages.end(), msg) != messages.end();
    };
    EXPECT_TRUE(has(normal, WM_PAINT));
    EXPECT_FALSE(has(normal, WM_ICONERASEBKGND));
    EXPECT_TRUE(has(minimised, WM_ICONERASEBKGND));
}

}  // namespace
}  // namespace varnel
