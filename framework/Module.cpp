#include "framework/Module.h"

#include <windows.h>

#include <algorithm>

namespace varnel::framework {
namespace {

// The text `get` copies into a buffer of the size given, in ever larger
// buffers until it no longer fills one: a text that fills it may be cut.
template <class Get>
std::string WholeText(Get get) {
    for (std::string text(MAX_PATH, '\0');; text.resize(text.size() * 2)) {
        const auto length = static_cast<std::size_t>(get(text.data(), static_cast<int>(text.size())));
        if (length == 0) return {};
        if (length + 1 < text.size()) return text.substr(0, length);
    }
}

}  // namespace

std::string ModuleFileName() {
    return WholeText(
        [](char* buffer, int size) { return GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size)); });
}

std::string ProgramName() {
    std::string name = ModuleFileName();
    name.erase(0, name.find_last_of("\\/") + 1);  // npos + 1 is 0: nothing to erase
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string LoadStringResource(unsigned id) {
    return WholeText(
        [id](char* buffer, int size) { return std::max(LoadStringA(GetModuleHandleA(nullptr), id, buffer, size), 0); });
}

std::string AppTitle() {
    std::string title = LoadStringResource(kAppTitleStringId);
    return title.empty() ? ProgramName() : title;
}

bool FileExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
}

}  // namespace varnel::framework
