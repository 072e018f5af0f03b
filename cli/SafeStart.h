// What varnel-cli does first of all, before it could load any library.
#pragma once

namespace varnel::cli {

// Libraries loaded by name from now on come from the system's own folder
// only, never from the program's folder or the current one, where anyone
// may have put a library of the same name.
void LoadSystemLibrariesOnly();

}  // namespace varnel::cli
