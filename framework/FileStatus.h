// The static file-status query: whether a file (or folder) exists, and what
// the system says about it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace varnel::framework {

struct FileStatus {
    std::uint64_t size = 0;
    DWORD attributes = 0;  // FILE_ATTRIBUTE_*
};

// Nothing when the path names nothing that exists (or cannot be queried).
// Wildcards are not expanded: "c:\*.pcm" names no file.
std::optional<FileStatus> GetFileStatus(const std::string& path);

}  // namespace varnel::framework
