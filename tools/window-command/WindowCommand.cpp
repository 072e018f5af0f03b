// window-command: drives another program's top-level window from a script,
// by its caption, for the screenshots. Under Wine a script cannot reach a
// Windows program's windows from the X side, so this small Windows program
// does it from the inside.
//
//   window-command rect CAPTION        waits until the window is shown and
//                                      prints its screen rectangle as
//                                      "WIDTHxHEIGHT+LEFT+TOP"
//   window-command command CAPTION ID  posts WM_COMMAND ID to it
//   window-command close CAPTION       posts WM_CLOSE to it
//
// Exit status 0 on success, 1 when no such window turned up within thirty
// seconds (a Wine process can be slow to start), 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kWaitMilliseconds = 30000;
constexpr DWORD kPollMilliseconds = 100;

// The window must be visible and not just being created: a window is
// findable as soon as it exists, before its dialog has laid out its
// controls, so it is looked up until it is visible.
HWND WaitForWindow(const char* caption) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(nullptr, caption);
        if (window && IsWindowVisible(window)) return window;
        if (GetTickCount() - start > kWaitMilliseconds) return nullptr;
        Sleep(kPollMilliseconds);
    }
}

int Usage() {
    std::fputs("usage: window-command rect CAPTION | command CAPTION ID | close CAPTION\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string verb = argv[1];
    HWND window = WaitForWindow(argv[2]);
    if (!window) {
        std::fprintf(stderr, "window-command: no window \"%s\"\n", argv[2]);
        return 1;
    }
    if (verb == "rect" && argc == 3) {
        RECT rect{};
        GetWindowRect(window, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
        return 0;
    }
    // Posted, not sent: the command may open a modal box, and a sent message
    // would not return until that box closed.
    if (verb == "command" && argc == 4) {
        const auto id = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 0));
        return PostMessageA(window, WM_COMMAND, id, 0) ? 0 : 1;
    }
    if (verb == "close" && argc == 3) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    return Usage();
}
