#include "editor/SoundEditorLaunch.h"

#include <windows.h>

#include <vector>

#include "base/Owned.h"

namespace varnel {

std::string EditorCommandLine(const std::string& quote, const std::string& space, const std::string& program,
                              const std::string& outputFile) {
    return quote + program + quote + space + quote + outputFile + quote;
}

bool StartSoundEditor(const std::string& commandLine) {
    // CreateProcessA may write into the command line: give it a copy.
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    // The editor is neither waited for nor watched: let go of it at once.
    const base::KernelHandle process(started.hProcess);
    const base::KernelHandle thread(started.hThread);
    return true;
}

}  // namespace varnel
