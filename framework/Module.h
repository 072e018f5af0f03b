// The program's own file and resources, and files by name, as the system
// knows them.
#pragma once

#include <string>

namespace varnel::framework {

// The full path of the running program (GetModuleFileNameA), whatever its
// length.
std::string ModuleFileName();
// The program file's name without folder and extension ("varnel").
std::string ProgramName();
// String resource `id` of the program, whole; "" when it has none.
std::string LoadStringResource(unsigned id);
// The string resource that holds the application's title, numbered as the
// system's class libraries number it, so that a program's .rc written for
// them names its title here too.
constexpr unsigned kAppTitleStringId = 0xE000;
// The application's title, which its message boxes carry: the string
// table's title, else the program file's name.
std::string AppTitle();
// The static file-status query: false when `path` names nothing that exists
// (or cannot be queried). Wildcards are not expanded: "c:\*.pcm" names no file.
bool FileExists(const std::string& path);

}  // namespace varnel::framework
