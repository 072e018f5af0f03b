#include "framework/Control.h"

#include <commctrl.h>

#include "framework/MessageBox.h"

namespace varnel::framework {
namespace {

// Our one subclass on a window, among any others comctl32 keeps for it.
constexpr UINT_PTR kSubclassId = 0x56524E4C;  // "VRNL"

}  // namespace

Control::~Control() { UnsubclassWindow(); }

bool Control::SubclassDlgItem(int id, const Window& parent) { return SubclassWindow(parent.GetDlgItem(id)); }

bool Control::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hwnd) return false;
    if (!SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    m_hwnd = hwnd;
    return true;
}

void Control::UnsubclassWindow() {
    if (!m_hwnd) return;
    RemoveWindowSubclass(m_hwnd, &Control::SubclassProc, kSubclassId);
    m_hwnd = nullptr;
}

LRESULT Control::Default() { return DefSubclassProc(m_hwnd, m_current.message, m_current.wParam, m_current.lParam); }

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Control*>(data);
    if (msg == WM_NCDESTROY) {
        // The window goes: detach first, as comctl32 asks of every subclass.
        self->UnsubclassWindow();
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    const MSG outer = self->m_current;  // handlers may send messages to their own window
    self->m_current = {hwnd, msg, wp, lp, 0, {}};
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->Dispatch(msg, wp, lp, result);
    } catch (...) {
        // No C++ exception may unwind through the system's window procedure.
        // The user hears of it; the message ends as if the control had
        // handled it itself.
        ReportUnexpectedError();
        handled = false;
    }
    self->m_current = outer;
    return handled ? result : DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace varnel::framework
