// The main window's About box (from the Help menu and the system menu) and
// its icon: drawn into the client area while minimised, and the drag image.
#include "ui/VarnelDlg.h"

#include "resources/resource.h"
#include "ui/AboutDlg.h"

namespace varnel {

int CVarnelDlg::CentredIconOrigin(int clientSize, int iconSize) {
    // Signed division truncates toward zero: a client of 20 and an icon of
    // 32 give -5, not -6.
    return (clientSize - iconSize + 1) / 2;
}

void CVarnelDlg::ShowAboutBox() {
    CAboutDlg about;
    about.DoModal();  // nothing is read from the box
}

void CVarnelDlg::OnAbout() { ShowAboutBox(); }

void CVarnelDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // The system keeps its own flags in the low four bits of the code.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAboutBox();
        return;
    }
    // A dialog's default for WM_SYSCOMMAND is the window default (move,
    // minimise, restore, close); DefDlgProc would call this procedure again.
    DefWindowProcA(m_hwnd, WM_SYSCOMMAND, nID, lParam);
}

void CVarnelDlg::OnPaint() {
    if (!IsIconic(m_hwnd)) {
        DefWindowProcA(m_hwnd, WM_PAINT, 0, 0);  // paints nothing but validates
        return;
    }
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(m_hwnd, &paint);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int x = CentredIconOrigin(client.right - client.left, iconWidth);
    const int y = CentredIconOrigin(client.bottom - client.top, iconHeight);
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hwnd, &paint);
}

HCURSOR CVarnelDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

}  // namespace varnel
