#include "app/SettingsPath.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "framework/Module.h"

namespace varnel {
namespace {

constexpr char kPerUserFolder[] = "Varnel";

std::size_t NameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Whether a file can be created in `folder`: the one sure test is to make
// one (hidden, and gone when closed), since rights, a read-only medium and a
// folder's policy all show the same way.
bool CanCreateFilesIn(const std::string& folder) {
    for (unsigned attempt = 0; attempt < 8; ++attempt) {
        const std::string probe =
            folder + "\\.varnel-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".tmp";
        const HANDLE file =
            CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

// The user's roaming application data folder, in the narrow strings' code
// page; "" when the system has none to give.
std::string RoamingAppData() {
    PWSTR wide = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &wide))) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (size > 1) {
            folder.resize(static_cast<std::size_t>(size));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, folder.data(), size, nullptr, nullptr);
            folder.resize(static_cast<std::size_t>(size - 1));
        }
    }
    CoTaskMemFree(wide);
    return folder;
}

}  // namespace

std::string SettingsPathFor(const std::string& programPath) {
    const std::size_t nameStart = programPath.find_last_of("\\/:");
    const std::size_t dot = programPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + ".ini";
}

std::string SettingsFileFor(const std::string& programPath) {
    const std::string beside = SettingsPathFor(programPath);
    const std::size_t nameStart = NameStart(beside);
    if (framework::FileExists(beside)) return beside;
    if (nameStart > 0 && CanCreateFilesIn(beside.substr(0, nameStart - 1))) return beside;

    const std::string appData = RoamingAppData();
    if (appData.empty()) return beside;
    const std::string perUser = appData + "\\" + kPerUserFolder;
    if (!CreateDirectoryA(perUser.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return beside;
    return perUser + "\\" + beside.substr(nameStart);
}

}  // namespace varnel
