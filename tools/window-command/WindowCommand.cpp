// window-command: drives a running program's top-level window from a script,
// for the screenshots and the test of `make run`. Under Wine a script cannot
// reach a Windows program's windows from the X side, so this small Windows
// program does it from the inside.
//
//   window-command rect PROGRAM CAPTION        waits until the window is
//                                              shown and prints its screen
//                                              rectangle as
//                                              "WIDTHxHEIGHT+LEFT+TOP"
//   window-command command PROGRAM CAPTION ID  posts WM_COMMAND ID to it
//   window-command text PROGRAM CAPTION ID TEXT
//                                              puts TEXT into its control ID
//   window-command close PROGRAM CAPTION       posts WM_CLOSE to it
//   window-command box PROGRAM                 waits for a message box of the
//                                              program, prints its caption
//                                              and then its text, and
//                                              answers it with OK
//   window-command hold-desktop                keeps Wine's desktop open
//                                              until it is killed
//
// The window is the one with that caption of a process running the file
// PROGRAM (a Unix path under Wine will do): other programs' windows may carry
// the same caption, as the tests' own dialogs do while other tests run.
//
// Exit status 0 on success, 1 when no such window turned up within thirty
// seconds (a Wine process can be slow to start), 2 for a wrong command line.
// A message box may carry the main window's caption: of the windows of a
// caption, one that no window owns (a main window) is taken first, and a
// message box is one that has an owner and a message text.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

constexpr DWORD kWaitMilliseconds = 30000;
constexpr DWORD kPollMilliseconds = 100;

// Which file a path names: its volume and index, whatever the path's
// spelling (drive letters, case, 8.3 names, links).
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool IdentifyFile(const std::wstring& path, FileIdentity& identity) {
    HANDLE file =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return known;
}

// Under Wine the scripts hold Unix paths, which Wine alone can name.
std::wstring WindowsPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return path;
    // Wine's own export, absent on Windows; FARPROC is cast through the
    // generic function pointer type, as GetProcAddress's results must be.
    using UnixToDos = WCHAR* (*)(LPCSTR);
    const FARPROC exported = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
    const auto unixToDos = reinterpret_cast<UnixToDos>(reinterpret_cast<void (*)()>(exported));
    if (!unixToDos) return path;
    const int size = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string unixPath(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, unixPath.data(), size, nullptr, nullptr);
    WCHAR* dosPath = unixToDos(unixPath.c_str());
    if (!dosPath) return path;
    std::wstring result = dosPath;
    HeapFree(GetProcessHeap(), 0, dosPath);
    return result;
}

bool RunsProgram(DWORD processId, const FileIdentity& program) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t image[MAX_PATH * 4] = {};
    DWORD length = MAX_PATH * 4;
    const bool named = QueryFullProcessImageNameW(process, 0, image, &length);
    CloseHandle(process);
    FileIdentity identity;
    return named && IdentifyFile(image, identity) && identity == program;
}

// A message box's text is its static control of this id, on Windows as under Wine.
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

class WindowSearch {
public:
    // The window of that caption, or with `box`, a message box, of any caption.
    WindowSearch(const FileIdentity& program, std::wstring caption, bool box = false)
        : m_program(program), m_caption(std::move(caption)), m_box(box) {}

    // The window must be visible and not just being created: a window is
    // findable as soon as it exists, before its dialog has laid out its
    // controls.
    HWND WaitForWindow() {
        const DWORD start = GetTickCount();
        for (;;) {
            m_found = m_owned = nullptr;
            EnumWindows(&WindowSearch::Visit, reinterpret_cast<LPARAM>(this));
            if (!m_found) m_found = m_owned;
            if (m_found) return m_found;
            if (GetTickCount() - start > kWaitMilliseconds) return nullptr;
            Sleep(kPollMilliseconds);
        }
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM search) {
        return reinterpret_cast<WindowSearch*>(search)->Matches(window) ? FALSE : TRUE;
    }

    bool Matches(HWND window) {
        if (!IsWindowVisible(window)) return false;
        if (m_box) {
            if (!GetWindow(window, GW_OWNER) || !GetDlgItem(window, kMessageBoxTextId)) return false;
        } else if (m_caption != TextOf(window)) {
            return false;
        }
        // Asked afresh each time: Wine soon gives an ended process's id to
        // the next one started.
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (!RunsProgram(processId, m_program)) return false;
        if (!m_box && GetWindow(window, GW_OWNER)) {
            m_owned = window;
            return false;
        }
        m_found = window;
        return true;
    }

    FileIdentity m_program;
    std::wstring m_caption;
    bool m_box;
    HWND m_found = nullptr;
    HWND m_owned = nullptr;  // a window of the caption that another owns
};

int Usage() {
    std::fputs(
        "usage: window-command rect PROGRAM CAPTION | command PROGRAM CAPTION ID | text PROGRAM CAPTION ID TEXT"
        " | close PROGRAM CAPTION | box PROGRAM | hold-desktop\n",
        stderr);
    return 2;
}

// Wine closes its desktop a second after the last program on it has ended,
// and the next program that needs one starts a new desktop process. That
// process inherits the program's output and keeps it open for as long as
// the desktop lives, so a test runner reading it waits on a test that has
// long finished. A window, even a message-only one, keeps the desktop in
// use.
int HoldDesktop() {
    if (!CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"hold-desktop" && argc == 2) return HoldDesktop();
    const bool rect = verb == L"rect" && argc == 4;
    const bool command = verb == L"command" && argc == 5;
    const bool text = verb == L"text" && argc == 6;
    const bool close = verb == L"close" && argc == 4;
    const bool box = verb == L"box" && argc == 3;
    if (!rect && !command && !text && !close && !box) return Usage();

    FileIdentity program;
    if (!IdentifyFile(WindowsPath(argv[2]), program)) {
        std::fprintf(stderr, "window-command: no program \"%ls\" (error %lu)\n", argv[2], GetLastError());
        return 1;
    }
    HWND window = WindowSearch(program, box ? L"" : argv[3], box).WaitForWindow();
    if (!window) {
        std::fprintf(stderr, "window-command: no window \"%ls\" of %ls\n", box ? L"(message box)" : argv[3], argv[2]);
        return 1;
    }
    if (box) {
        std::printf("%ls\n%ls\n", TextOf(window).c_str(), TextOf(GetDlgItem(window, kMessageBoxTextId)).c_str());
        std::fflush(stdout);
        if (!PostMessageW(window, WM_COMMAND, IDOK, 0)) return 1;
        // Gone before this returns, so that the next command finds the
        // program's own window, or the next box.
        for (DWORD waited = 0; IsWindow(window); waited += kPollMilliseconds) {
            if (waited > kWaitMilliseconds) return 1;
            Sleep(kPollMilliseconds);
        }
        return 0;
    }
    // Sent: the text is copied into the other process before the call returns.
    if (text) {
        const HWND control = GetDlgItem(window, static_cast<int>(std::wcstoul(argv[4], nullptr, 0)));
        return control && SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5])) ? 0 : 1;
    }
    if (rect) {
        RECT area{};
        GetWindowRect(window, &area);
        std::printf("%ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top, area.left, area.top);
        return 0;
    }
    // Posted, not sent: the command may open a modal box, and a sent message
    // would not return until that box closed.
    if (command) {
        const auto id = static_cast<WPARAM>(std::wcstoul(argv[4], nullptr, 0));
        return PostMessageW(window, WM_COMMAND, id, 0) ? 0 : 1;
    }
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
