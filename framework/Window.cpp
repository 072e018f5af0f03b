#include "framework/Window.h"

namespace varnel::framework {

bool IsCommandInvoked(WPARAM wp, LPARAM lp) {
    // Menu items and button clicks (BN_CLICKED) carry code 0; accelerators
    // carry 1 and no control. A control's other notifications, a list's or
    // combo box's selection change (also 1) among them, invoke nothing.
    return HIWORD(wp) == BN_CLICKED || (HIWORD(wp) == 1 && lp == 0);
}

const MessageEntry* FindEntry(MessageTable table, UINT msg, WPARAM wp, LPARAM lp) {
    for (const MessageEntry& entry : table) {
        if (entry.message != msg) continue;
        if (msg != WM_COMMAND) return &entry;
        if (LOWORD(wp) == entry.id && IsCommandInvoked(wp, lp)) return &entry;
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

bool Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const MessageEntry* entry = FindEntry(Messages(), msg, wp, lp);
    if (!entry) return false;
    result = entry->call(*this, wp, lp);
    return true;
}

}  // namespace varnel::framework
