// Where the settings file lives: beside the program, named after it.
#pragma once

#include <string>

namespace varnel {

// The program's full path with its extension replaced by ".ini"
// ("C:\Apps\mixer.exe" -> "C:\Apps\mixer.ini"); a name without extension
// gets ".ini" appended ("C:\Apps\mixer" -> "C:\Apps\mixer.ini"). A dot in a
// folder name is not an extension.
std::string SettingsPathFor(const std::string& programPath);

}  // namespace varnel
