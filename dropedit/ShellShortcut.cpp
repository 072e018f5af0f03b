#include "dropedit/ShellShortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <cassert>
#include <cstring>

#include "base/Owned.h"

namespace varnel {

std::string ExpandShortcut(const std::string& path) {
    assert(!path.empty() && "DropEdit: ExpandShortcut needs a path");
    if (path.empty()) return "";

    // Declared in this order so that IPersistFile is released before the
    // shortcut object.
    base::ComInterface<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))))
        return "";
    base::ComInterface<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())))) return "";

    // IPersistFile::Load takes a wide path. A path that does not fit the
    // MAX_PATH buffer is not cut to fit: it would name another file.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) == 0) return "";

    // Load fails for anything that is not a readable shortcut, directories
    // included.
    if (FAILED(file->Load(widePath, STGM_READ))) return "";

    // GetPath's result code is not looked at: the buffer stays empty when the
    // shortcut points to a shell object that has no file-system path.
    char target[MAX_PATH] = {};
    WIN32_FIND_DATAA findData{};
    link->GetPath(target, MAX_PATH, &findData, SLGP_UNCPRIORITY);
    return std::string(target, strnlen(target, MAX_PATH));
}

}  // namespace varnel
