#include "cli/SafeStart.h"

#include <windows.h>

namespace varnel::cli {

void LoadSystemLibrariesOnly() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace varnel::cli
