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
// The static file-status query: false when `path` names nothing that exists
// (or cannot be queried). Wildcards are not expanded: "c:\*.pcm" names no file.
bool FileExists(const std::string& path);

}  // namespace varnel::framework
