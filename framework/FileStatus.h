// The static file-status query: whether a path names something that exists.
#pragma once

#include <string>

namespace varnel::framework {

// False when the path names nothing that exists (or cannot be queried).
// Wildcards are not expanded: "c:\*.pcm" names no file.
bool FileExists(const std::string& path);

}  // namespace varnel::framework
