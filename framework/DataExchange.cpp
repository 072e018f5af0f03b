#include "DataExchange.h"

#include <windows.h>

#include "Control.h"
#include "Dialog.h"

namespace varnel::framework {
namespace {

bool IsRadioButton(HWND hwnd) { return (SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0; }

bool StartsGroup(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_GROUP) != 0; }

}  // namespace

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
        if (IsRadioButton(hwnd)) {
            if (m_saving) {
                if (SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) index = position;
            } else {
                SendMessageA(hwnd, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++position;
        }
        hwnd = GetWindow(hwnd, GW_HWNDNEXT);
    } while (hwnd && !StartsGroup(hwnd));
}

}  // namespace varnel::framework
