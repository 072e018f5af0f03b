#include "Window.h"

namespace varnel::framework {

const MessageEntry* FindEntry(MessageTable table, UINT msg, WPARAM wp) {
    for (const MessageEntry& entry : table) {
        if (entry.message != msg) continue;
        if (msg != WM_COMMAND) return &entry;
        // Menu items and button clicks carry code 0, accelerators 1.
        if (LOWORD(wp) == entry.id && HIWORD(wp) <= 1) return &entry;
    }
    return nullptr;
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string Window::Text() const { return WindowText(m_hwnd); }

void Window::SetText(const std::string& text) { SetWindowTextA(m_hwnd, text.c_str()); }

LRESULT Window::Send(UINT msg, WPARAM wp, LPARAM lp) const { return SendMessageA(m_hwnd, msg, wp, lp); }

HWND Window::GetDlgItem(int id) const { return ::GetDlgItem(m_hwnd, id); }

bool Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const MessageEntry* entry = FindEntry(Messages(), msg, wp);
    if (!entry) return false;
    result = entry->call(*this, wp, lp);
    return true;
}

}  // namespace varnel::framework
