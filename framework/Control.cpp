#include "Control.h"

#include <commctrl.h>

namespace varnel::framework {
namespace {

// Our one subclass on a window, among any others comctl32 keeps for it.
constexpr UINT_PTR kSubclassId = 0x56524E4C;  // "VRNL"

// The object a Create call on this thread is attaching, and its hook.
thread_local Control* tPendingCreate = nullptr;
thread_local HHOOK tCreationHook = nullptr;

}  // namespace

Control::~Control() { UnsubclassWindow(); }

bool Control::SubclassDlgItem(int id, const Window& parent) { return SubclassDlgItem(id, parent.GetSafeHwnd()); }

bool Control::SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }

bool Control::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hwnd) return false;
    if (!SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hwnd = hwnd;
    return true;
}

void Control::UnsubclassWindow() {
    if (!m_hwnd) return;
    RemoveWindowSubclass(m_hwnd, &Control::SubclassProc, kSubclassId);
    m_hwnd = nullptr;
}

bool Control::Create(const char* className, DWORD style, DWORD exStyle, const RECT& rect, HWND parent, int id) {
    if (m_hwnd || tPendingCreate) return false;
    // Subclassing after CreateWindowEx would miss WM_CREATE: a thread-local
    // CBT hook attaches the object when the window exists but has had no
    // message yet.
    tPendingCreate = this;
    tCreationHook = SetWindowsHookExA(WH_CBT, &Control::CreationHook, nullptr, GetCurrentThreadId());
    const HWND hwnd = CreateWindowExA(exStyle, className, "", style, rect.left, rect.top, rect.right - rect.left,
                                      rect.bottom - rect.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                      nullptr);
    if (tCreationHook) UnhookWindowsHookEx(tCreationHook);
    tCreationHook = nullptr;
    tPendingCreate = nullptr;
    return hwnd && m_hwnd == hwnd;
}

LRESULT CALLBACK Control::CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && tPendingCreate) {
        Control* self = tPendingCreate;
        tPendingCreate = nullptr;  // only the first window: the control, not any it makes itself
        self->SubclassWindow(reinterpret_cast<HWND>(wp));
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT Control::Default() { return DefSubclassProc(m_hwnd, m_current.msg, m_current.wp, m_current.lp); }

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Control*>(data);
    if (msg == WM_NCDESTROY) {
        // The window goes: detach first, as comctl32 asks of every subclass.
        self->UnsubclassWindow();
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    const CurrentMessage outer = self->m_current;  // handlers may send messages to their own window
    self->m_current = {msg, wp, lp};
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->Dispatch(msg, wp, lp, result);
    } catch (...) {
        // No C++ exception may unwind through the system's window procedure;
        // the message ends as if the control had handled it itself.
        handled = false;
    }
    self->m_current = outer;
    return handled ? result : DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace varnel::framework
