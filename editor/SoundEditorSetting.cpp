#include "SoundEditorSetting.h"

#include <windows.h>

namespace varnel {

void WriteSoundEditorSetting(const std::string& iniFile, const std::string& program) {
    // Given no file name, the profile functions would write into the
    // Windows folder's win.ini.
    if (iniFile.empty()) return;
    WritePrivateProfileStringA("execution", "program", program.c_str(), iniFile.c_str());
}

}  // namespace varnel
