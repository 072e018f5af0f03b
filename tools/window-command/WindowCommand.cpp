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
//   window-command close PROGRAM CAPTION       posts WM_CLOSE to it
//   window-command hold-desktop                keeps Wine's desktop open
//                                              until it is killed
//
// The window is the one with that caption of a process running the file
// PROGRAM (a Unix path under Wine will do): other programs' windows may carry
// the same caption, as the tests' own dialogs do while other tests run.
//
// Exit status 0 on success, 1 when no such window turned up within thirty
// seconds (a Wine process can be slow to start), 2 for a wrong command line.
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

class WindowSearch {
public:
    WindowSearch(const FileIdentity& program, std::wstring caption)
        : m_program(program), m_caption(std::move(caption)) {}

    // The window must be visible and not just being created: a window is
    // findable as soon as it exists, before its dialog has laid out its
    // controls.
    HWND WaitForWindow() {
        const DWORD start = GetTickCount();
        for (;;) {
            m_found = nullptr;
            EnumWindows(&WindowSearch::Visit, reinterpret_cast<LPARAM>(this));
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
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (m_caption != text) return false;
        // Asked afresh each time: Wine soon gives an ended process's id to
        // the next one started.
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (!RunsProgram(processId, m_program)) return false;
        m_found = window;
        return true;
    }

    FileIdentity m_program;
    std::wstring m_caption;
    HWND m_found = nullptr;
};

int Usage() {
    std::fputs(
        "usage: window-command rect PROGRAM CAPTION | command PROGRAM CAPTION ID | close PROGRAM CAPTION"
        " | hold-desktop\n",
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
    const bool close = verb == L"close" && argc == 4;
    if (!rect && !command && !close) return Usage();

    FileIdentity program;
    if (!IdentifyFile(WindowsPath(argv[2]), program)) {
        std::fprintf(stderr, "window-command: no program \"%ls\" (error %lu)\n", argv[2], GetLastError());
        return 1;
    }
    HWND window = WindowSearch(program, argv[3]).WaitForWindow();
    if (!window) {
        std::fprintf(stderr, "window-command: no window \"%ls\" of %ls\n", argv[3], argv[2]);
        return 1;
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
