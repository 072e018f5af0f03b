#include <windows.h>

#include "SafeOutput.h"

namespace varnel::cli {

// Symbolic links are rare on Windows; one named as OUTPUT is replaced by the
// new file rather than written through.
std::string ResolvedOutputPath(const std::string& output) { return output; }

// MoveFileEx replaces an existing file in one step on the same volume; it
// fails (and leaves both files) when another program holds OUTPUT open.
bool ReplaceWith(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace varnel::cli
