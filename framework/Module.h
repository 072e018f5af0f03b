// The program's own file, as the system knows it.
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

}  // namespace varnel::framework
