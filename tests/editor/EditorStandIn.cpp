// Stands in for a sound editor in the tests: records the command line it was
// started with, in UTF-8 whatever the system's code page, as a file of its
// own in the folder named by the environment variable VARNEL_STAND_IN_FOLDER,
// and ends. The file appears whole: it is written under another name first
// and then renamed.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VARNEL_STAND_IN_FOLDER", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    const std::string base = std::string(folder) + "\\" + std::to_string(GetCurrentProcessId());
    const std::string partial = base + ".part";
    const std::string finished = base + ".cmdline";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) return 3;
    const wchar_t* wide = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string commandLine(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, commandLine.data(), size, nullptr, nullptr);
    commandLine.resize(commandLine.size() - 1);  // the terminator
    const bool written = std::fwrite(commandLine.data(), 1, commandLine.size(), file) == commandLine.size();
    if (std::fclose(file) != 0 || !written) return 4;
    return MoveFileA(partial.c_str(), finished.c_str()) ? 0 : 5;
}
