#include "Module.h"

#include <windows.h>

namespace varnel::framework {

std::string ModuleFileName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A name that fills the buffer may have been cut: try a larger one.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramName() {
    std::string name = ModuleFileName();
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string LoadStringResource(unsigned id) {
    std::string text(256, '\0');
    for (;;) {
        const int length = LoadStringA(GetModuleHandleA(nullptr), id, text.data(), static_cast<int>(text.size()));
        if (length <= 0) return {};
        // A text that fills the buffer may have been cut: try a larger one.
        if (static_cast<std::size_t>(length) + 1 < text.size()) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace varnel::framework
