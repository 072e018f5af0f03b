#include "DropTestSupport.h"

#include <shlobj.h>

namespace varnel::test {
namespace {

std::wstring Widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);  // the terminator
    return wide;
}

// Saves the shortcut object `link` describes to `linkPath`.
bool SaveShortcut(IShellLinkA* link, const std::string& linkPath) {
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
    const HRESULT saved = file->Save(Widen(linkPath).c_str(), TRUE);
    file->Release();
    return SUCCEEDED(saved);
}

}  // namespace

std::string ToAnsi(const std::wstring& text) {
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return "";
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);  // the terminator
    return narrow;
}

void WriteEmptyFile(const std::filesystem::path& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool IsFreed(HDROP drop) { return GlobalFlags(drop) == GMEM_INVALID_HANDLE; }

bool MakeShortcutWithoutPath(const std::string& linkPath) {
    PIDLIST_ABSOLUTE computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer))) return false;
    IShellLinkA* link = nullptr;
    bool made = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        made = SUCCEEDED(link->SetIDList(computer)) && SaveShortcut(link, linkPath);
        link->Release();
    }
    CoTaskMemFree(computer);
    return made;
}

}  // namespace varnel::test
