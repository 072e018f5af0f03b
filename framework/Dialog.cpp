#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/Control.h"
#include "framework/MessageBox.h"

namespace varnel::framework {

Dialog::Dialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

INT_PTR Dialog::DoModal() {
    // Without a parent the dialog belongs to the application's main window,
    // which it disables while it runs; an ownerless dialog would leave that
    // window usable behind it.
    HWND parent = m_parent;
    if (!parent && GetApp() && GetApp()->m_pMainWnd != this) parent = MainWindowHandle();
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent, &Dialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
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
        // result directly; every other handled message returns TRUE with the
        // result in DWLP_MSGRESULT.
        const bool direct = msg == WM_QUERYDRAGICON || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) ||
                            msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM;
        if (direct) return static_cast<INT_PTR>(result);
        SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (msg != WM_COMMAND || !IsCommandInvoked(wp, lp)) return FALSE;
    if (LOWORD(wp) == IDOK)
        OnOK();
    else if (LOWORD(wp) == IDCANCEL)
        OnCancel();
    else
        return FALSE;
    return TRUE;
}

void DataExchange::Control(int id, framework::Control& control) {
    if (control.GetSafeHwnd()) return;
    control.SubclassDlgItem(id, m_dialog);
}

void DataExchange::Text(int id, std::string& value) {
    const HWND hwnd = m_dialog.GetDlgItem(id);
    if (!hwnd) return;
    if (!m_saving) {
        SetWindowTextA(hwnd, value.c_str());
        return;
    }
    value = WindowText(hwnd);
}

void DataExchange::Radio(int firstId, int& index) {
    HWND hwnd = m_dialog.GetDlgItem(firstId);
    if (!hwnd) return;
    if (m_saving) index = -1;
    // The group runs in template order from the first button to the next
    // control that starts a group; only radio buttons count.
    int position = 0;
    do {
        if ((SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
            if (m_saving) {
                if (SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
            } else {
                SendMessageA(hwnd, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++position;
        }
        hwnd = GetWindow(hwnd, GW_HWNDNEXT);
    } while (hwnd && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_GROUP));
}

}  // namespace varnel::framework
