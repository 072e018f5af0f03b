// Stands in for a sound editor in the tests: records the command line it was
// started with, as a file of its own in the folder named by the environment
// variable VARNEL_STAND_IN_FOLDER, and ends. The file appears whole: it is
// written under another name first and then renamed.
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
    const std::string commandLine = GetCommandLineA();
    const bool written = std::fwrite(commandLine.data(), 1, commandLine.size(), file) == commandLine.size();
    if (std::fclose(file) != 0 || !written) return 4;
    return MoveFileA(partial.c_str(), finished.c_str()) ? 0 : 5;
}
