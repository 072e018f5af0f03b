#include "cli/SafeStart.h"

namespace varnel::cli {

// The dynamic loader never looks in the program's folder or the current one
// unless told to (an RPATH of $ORIGIN, LD_LIBRARY_PATH), which this program
// never is.
void LoadSystemLibrariesOnly() {}

}  // namespace varnel::cli
