// Where the settings file lives: beside the program, named after it, or,
// where the program's folder cannot be written, in the user's own
// application data.
#pragma once

#include <string>

namespace varnel {

// The program's full path with its extension replaced by ".ini"
// ("C:\Apps\mixer.exe" -> "C:\Apps\mixer.ini"); a name without extension
// gets ".ini" appended ("C:\Apps\mixer" -> "C:\Apps\mixer.ini"). A dot in a
// folder name is not an extension.
std::string SettingsPathFor(const std::string& programPath);

// The settings file of the program at `programPath` (a full path), the first
// of these that can serve:
// 1. the file beside the program (SettingsPathFor) when it exists: a copy
//    carried with its settings, read even from a folder that cannot be
//    written;
// 2. the same file when the program's folder can be written: created there
//    by the discovery;
// 3. otherwise a file of the same name in the user's roaming application
//    data (%APPDATA%\Varnel\mixer.ini), its folder created: a copy unpacked
//    under C:\Program Files, which only an administrator may write, still
//    keeps the user's choices, and finds them at the next start.
// When that folder cannot be made either, the file beside the program.
std::string SettingsFileFor(const std::string& programPath);

}  // namespace varnel
