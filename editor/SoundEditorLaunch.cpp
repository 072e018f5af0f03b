#include "SoundEditorLaunch.h"

#include <windows.h>

#include <vector>

#include "LegacyEntryText.h"

namespace varnel {
namespace {

// A handle closed when the object ends.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : m_handle(handle) {}
    ~OwnedHandle() {
        if (m_handle) CloseHandle(m_handle);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

private:
    HANDLE m_handle;
};

std::string ReadProfileEntry(const std::string& iniFile) {
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD copied =
            GetPrivateProfileStringA("execution", "program", kNoSuchProgram, buffer.data(), size, iniFile.c_str());
        // A value cut to fit returns size - 1: only a shorter one is whole.
        if (copied + 1 < size) return std::string(buffer.data(), copied);
        if (buffer.size() >= (1u << 24)) return std::string(buffer.data(), copied);  // no sane entry is that long
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string ReadSoundEditorSetting(const std::string& iniFile) {
    // Given no file name, the profile functions would read the Windows
    // folder's win.ini.
    if (iniFile.empty()) return kNoSuchProgram;
    const std::string value = ReadProfileEntry(iniFile);
    return LegacyEntryText(iniFile, "execution", "program", value).value_or(value);
}

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
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    return true;
}

}  // namespace varnel
