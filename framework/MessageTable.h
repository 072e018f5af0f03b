// A window class's message table: a static array of rows, each mapping a
// window message, or a WM_COMMAND id, to a member handler. The framework's
// window procedures look each message up in the table of the object's own
// class; a message without a row gets the window's default handling.
//
// A handler may take one of these shapes (the row's adapter converts the
// message parameters):
//   void OnX()                          any message, and commands
//   LRESULT OnX(WPARAM, LPARAM)         any message, raw parameters
//   int OnCreate(CREATESTRUCTA*)        WM_CREATE
//   void OnDropFiles(HDROP)             WM_DROPFILES
//   void OnSysCommand(UINT, LPARAM)     WM_SYSCOMMAND
//   HCURSOR OnQueryDragIcon()           WM_QUERYDRAGICON
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <span>
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

template <class H> struct HandlerClass;
template <class C, class R, class... Args> struct HandlerClass<R (C::*)(Args...)> {
    using type = C;
};

template <class> inline constexpr bool kUnsupportedHandler = false;

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

// A row for WM_COMMAND from menu item, accelerator or button `Id`: a click
// (BN_CLICKED), a menu item or an accelerator; a control's other
// notifications, such as an edit's or a list's, don't match.
template <UINT Id, auto Handler>
constexpr MessageEntry OnCommand() {
    return {WM_COMMAND, Id, &detail::Invoke<Handler>};
}

// Whether a WM_COMMAND invokes its command: a click, a menu item or an
// accelerator, as opposed to another notification from a control.
bool IsCommandInvoked(WPARAM wp, LPARAM lp);
// The row of `table` for this message, or nullptr.
const MessageEntry* FindEntry(MessageTable table, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace varnel::framework
