#include "Dialog.h"

#include "Application.h"
#include "DataExchange.h"
#include "UnexpectedError.h"

namespace varnel::framework {

Dialog::Dialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR Dialog::DoModal() {
    // Without a parent the dialog belongs to the application's main window,
    // which it disables while it runs; an ownerless dialog would leave that
    // window usable behind it.
    HWND parent = m_parent;
    if (!parent) {
        const Application* app = GetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this) parent = app->m_pMainWnd->GetSafeHwnd();
    }
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                           &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(m_hwnd, result); }

void Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        reinterpret_cast<Dialog*>(lp)->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;  // messages before WM_INITDIALOG: the system's defaults
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (...) {
        // No C++ exception may unwind through the system's dialog manager:
        // the user is told, and the dialog ends.
        ReportUnexpectedError();
        ::EndDialog(hwnd, IDABORT);
        return TRUE;
    }
}

INT_PTR Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) return OnInitDialog();
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
        m_hwnd = nullptr;
        return FALSE;
    }
    LRESULT result = 0;
    if (Dispatch(msg, wp, lp, result)) {
        // A dialog procedure's return rules: these messages return their
        // result directly; every other handled message returns TRUE with
        // the result in DWLP_MSGRESULT.
        switch (msg) {
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM: return static_cast<INT_PTR>(result);
        default: SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result); return TRUE;
        }
    }
    if (msg == WM_COMMAND && IsCommandInvoked(wp, lp)) {
        if (LOWORD(wp) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace varnel::framework
