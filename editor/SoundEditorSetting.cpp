#include "editor/SoundEditorSetting.h"

#include <windows.h>

#include <vector>

#include "editor/LegacyEntryText.h"

namespace varnel {
namespace {

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

void WriteSoundEditorSetting(const std::string& iniFile, const std::string& program) {
    // Given no file name, the profile functions would write into the
    // Windows folder's win.ini.
    if (iniFile.empty()) return;
    WritePrivateProfileStringA("execution", "program", program.c_str(), iniFile.c_str());
}

}  // namespace varnel
