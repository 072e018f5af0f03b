#include "WinTestSupport.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstring>

namespace varnel::test {
namespace {

thread_local ModalScript* tScript = nullptr;

bool IsTopLevelDialog(HWND hwnd, const CREATESTRUCTA& create) {
    if (create.style & WS_CHILD) return false;  // an Explorer file dialog's inner page, say
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return std::strcmp(name, "#32770") == 0;
}

}  // namespace

ModalScript::ModalScript() {
    tScript = this;
    m_hook = SetWindowsHookExA(WH_CBT, &ModalScript::CreationHook, nullptr, GetCurrentThreadId());
    m_timer = SetTimer(nullptr, 0, 20, &ModalScript::Tick);
}

ModalScript::~ModalScript() {
    if (m_timer) KillTimer(nullptr, m_timer);
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (tScript == this) tScript = nullptr;
}

ModalScript& ModalScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

LRESULT CALLBACK ModalScript::CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && tScript) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lp);
        const HWND hwnd = reinterpret_cast<HWND>(wp);
        if (IsTopLevelDialog(hwnd, *create->lpcs)) tScript->m_windows.push_back(hwnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (tScript) tScript->RunReadySteps();
}

void ModalScript::RunReadySteps() {
    while (!m_steps.empty() && !m_windows.empty()) {
        const HWND window = m_windows.front();
        if (!IsWindow(window)) {
            m_windows.pop_front();
            continue;
        }
        if (!IsWindowVisible(window)) return;  // still initialising
        // Taken off first: the step may open a window whose own step runs
        // inside it, from a nested tick.
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        m_windows.pop_front();
        step(window);
    }
}

std::string TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string TextOf(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

BoxContents ReadBox(HWND box) {
    BoxContents contents;
    contents.caption = TextOf(box);
    // A message box's text is its static control 0xFFFF.
    contents.text = TextOf(box, 0xFFFF);
    return contents;
}

void PressButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (!button && id == IDCANCEL) return Cancel(dialog);  // a dialog without a Cancel button: Esc
    SendMessageA(button, BM_CLICK, 0, 0);
}

void Cancel(HWND dialog) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }

HDROP MakeDrop(const std::vector<std::string>& names, bool wide) {
    // Each name and the list end with a zero, in bytes or in UTF-16 units.
    std::string list;
    for (const std::string& name : names) list += name + '\0';
    list += '\0';
    std::wstring wideList(list.size(), L'\0');
    if (wide) {
        const int units = MultiByteToWideChar(CP_UTF8, 0, list.data(), static_cast<int>(list.size()), wideList.data(),
                                              static_cast<int>(wideList.size()));
        wideList.resize(static_cast<std::size_t>(units > 0 ? units : 0));
    }
    const std::size_t bytes = wide ? wideList.size() * sizeof(wchar_t) : list.size();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!memory) return nullptr;
    auto* block = static_cast<char*>(GlobalLock(memory));
    auto* header = reinterpret_cast<DROPFILES*>(block);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    std::memcpy(block + sizeof(DROPFILES), wide ? static_cast<const void*>(wideList.data()) : list.data(), bytes);
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool MakeShortcut(const std::string& linkPath, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        // Any length: the drop tests save shortcuts at paths past MAX_PATH.
        const int units = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide.data(), units);
        saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

CoolEditRegistry::CoolEditRegistry(View view)
    : m_view(view == View::Installer32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
      m_mutex(CreateMutexA(nullptr, FALSE, "VarnelCoolEditRegistryTest")) {
    // An abandoned lock (a test that crashed holding it) is ours all the same.
    if (m_mutex) WaitForSingleObject(m_mutex, INFINITE);
    Remove();
}

CoolEditRegistry::~CoolEditRegistry() {
    Remove();
    if (m_mutex) {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
}

bool CoolEditRegistry::CreateKeys(int depth) {
    static const char* const kPaths[] = {"SOFTWARE\\Syntrillium", "SOFTWARE\\Syntrillium\\CE2000",
                                         "SOFTWARE\\Syntrillium\\CE2000\\State"};
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPaths[depth - 1], 0, nullptr, 0, KEY_ALL_ACCESS | m_view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool CoolEditRegistry::SetLocation(const std::string& location, bool terminated) {
    if (!CreateKeys(3)) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Syntrillium\\CE2000\\State", 0, KEY_SET_VALUE | m_view, &key) !=
        ERROR_SUCCESS)
        return false;
    const DWORD size = static_cast<DWORD>(location.size() + (terminated ? 1 : 0));
    const bool set = RegSetValueExA(key, "Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                                    size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

void CoolEditRegistry::Remove() {
    for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
        HKEY software = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) != ERROR_SUCCESS)
            continue;
        RegDeleteTreeA(software, "Syntrillium");
        RegCloseKey(software);
    }
}

}  // namespace varnel::test
