// Finding Syntrillium's Cool Edit 2000 through its own registry entry:
// HKEY_LOCAL_MACHINE\SOFTWARE\Syntrillium\CE2000\State, value "Location",
// the folder it is installed in, in the registry's 32-bit view where its
// 32-bit installer wrote it, or else in the native view. The registry is
// only read.
#pragma once

#include <string>

namespace varnel {

// The editor's program: "Location" followed by "\cool2000.exe", unchanged
// (an empty value gives "\cool2000.exe", a trailing backslash two
// backslashes), whatever its length; kNoSoundProgram when a key or the value
// is missing.
std::string FindSoundEditor();

}  // namespace varnel
