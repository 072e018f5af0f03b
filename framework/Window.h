// The base of every window object: the window handle and the message-table
// lookup that the framework's window procedures share.
#pragma once

#include <windows.h>

#include <string>

#include "MessageTable.h"

namespace varnel::framework {

// The whole text of a window (a control's contents, a window's caption).
std::string WindowText(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetSafeHwnd() const { return m_hwnd; }
    // The window's whole text, and WM_SETTEXT replacing all of it.
    std::string Text() const;
    void SetText(const std::string& text);
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    // The child with this id (a dialog's control), or nullptr.
    HWND GetDlgItem(int id) const;

protected:
    // The class's message table (see MessageTable.h); none by default.
    virtual MessageTable Messages() const { return {}; }
    // Runs the handler of the table's row for this message; false when the
    // table has none, so that the caller applies the default handling.
    bool Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HWND m_hwnd = nullptr;
};

}  // namespace varnel::framework
