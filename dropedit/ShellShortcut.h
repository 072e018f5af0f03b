// Following a shell shortcut (.lnk file) to the path it stores.
#pragma once

#include <string>

namespace varnel {

// The target path stored in the shortcut file at `path` (not empty), taken as
// the shortcut stores it: no resolve step, no search for a moved target, no
// user interface. "" when the path is not a readable shortcut, when it has
// no file-system target, when any step of the shell fails (COM must be
// initialised on the calling thread), and when the path is too long for the
// shell's MAX_PATH buffer (260 characters with the terminator): such a path
// is treated as a file that is not a shortcut.
std::string ExpandShortcut(const std::string& path);

}  // namespace varnel
