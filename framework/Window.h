// The base of every window object: the window handle and the message table
// that the framework's window procedures share.
//
// A window class's message table: a static array of rows, each mapping a
// window message, or a WM_COMMAND id, to a member handler. The framework's
// window procedures look each message up in the table of the object's own
// class; a message without a row gets the window's default handling.
// Handler shapes (the row's adapter converts the parameters): void OnX();
// LRESULT OnX(WPARAM, LPARAM); int OnCreate(CREATESTRUCTA*) for WM_CREATE;
// void OnDropFiles(HDROP); void OnSysCommand(UINT, LPARAM); HCURSOR
// OnQueryDragIcon().
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <span>
#include <string>
#include <type_traits>

namespace varnel::framework {

class Window;

struct MessageEntry {
    UINT message;
    UINT id;  // WM_COMMAND rows: the command or control id; 0 otherwise
    LRESULT (*call)(Window& self, WPARAM wp, LPARAM lp);
};

using MessageTable = std::span<const MessageEntry>;

namespace detail {

template <class H>
struct HandlerClass;
template <class C, class R, class... Args>
struct HandlerClass<R (C::*)(Args...)> {
    using type = C;
};
template <class>
inline constexpr bool kUnsupportedHandler = false;

template <auto Handler>
LRESULT Invoke(Window& window, WPARAM wp, LPARAM lp) {
    using H = decltype(Handler);
    using T = typename HandlerClass<H>::type;
    T& self = static_cast<T&>(window);
    if constexpr (std::is_same_v<H, void (T::*)()>) {
        (self.*Handler)();
        return 0;
    } else if constexpr (std::is_same_v<H, LRESULT (T::*)(WPARAM, LPARAM)>) {
        return (self.*Handler)(wp, lp);
    } else if constexpr (std::is_same_v<H, int (T::*)(CREATESTRUCTA*)>) {
        return (self.*Handler)(reinterpret_cast<CREATESTRUCTA*>(lp));
    } else if constexpr (std::is_same_v<H, void (T::*)(HDROP)>) {
        (self.*Handler)(reinterpret_cast<HDROP>(wp));
        return 0;
    } else if constexpr (std::is_same_v<H, void (T::*)(UINT, LPARAM)>) {
        (self.*Handler)(static_cast<UINT>(wp), lp);
        return 0;
    } else if constexpr (std::is_same_v<H, HCURSOR (T::*)()>) {
        return reinterpret_cast<LRESULT>((self.*Handler)());
    } else {
        static_assert(kUnsupportedHandler<H>, "no adapter for this handler shape");
    }
}

}  // namespace detail

// A row for window message `Message`.
template <UINT Message, auto Handler>
constexpr MessageEntry OnMessage() {
    return {Message, 0, &detail::Invoke<Handler>};
}

// A row for command `Id` when invoked: a button's click, a menu item, an
// accelerator; a control's other notifications don't match.
template <UINT Id, auto Handler>
constexpr MessageEntry OnCommand() {
    return {WM_COMMAND, Id, &detail::Invoke<Handler>};
}

// Whether a WM_COMMAND invokes its command (see OnCommand).
bool IsCommandInvoked(WPARAM wp, LPARAM lp);
// The row of `table` for this message, or nullptr.
const MessageEntry* FindEntry(MessageTable table, UINT msg, WPARAM wp, LPARAM lp);

// The whole text of a window (a control's contents, a window's caption).
std::string WindowText(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetSafeHwnd() const { return m_hwnd; }
    void SetText(const std::string& text) { SetWindowTextA(m_hwnd, text.c_str()); }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageA(m_hwnd, msg, wp, lp); }
    // The child with this id (a dialog's control), or nullptr.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hwnd, id); }

protected:
    // The class's message table (above); none by default.
    virtual MessageTable Messages() const { return {}; }
    // Runs the handler of the table's row for this message; false when the
    // table has none, so that the caller applies the default handling.
    bool Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HWND m_hwnd = nullptr;
};

}  // namespace varnel::framework
