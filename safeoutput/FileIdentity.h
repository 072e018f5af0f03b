// Which file a path names, whatever its spelling: two paths name the same
// file when they reach the same file on the same volume, through hard links,
// symbolic links, "./x" against "x", or (on Windows) a different case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "processing/File.h"

namespace varnel::safeoutput {

struct FileIdentity {
    std::uint64_t volume = 0;  // POSIX st_dev; Windows volume serial number
    std::uint64_t file = 0;    // POSIX st_ino; Windows file index
    bool regular = false;      // a plain file, not a folder or a device

    bool SameFileAs(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
};

// The identity of the file `path` names (following symbolic links), or
// nothing when there is no such file or it cannot be queried. Never opens
// the file's data, so it works on files that are held open exclusively.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The identity of what this process's standard input or output is, or
// nothing when it cannot be queried. A pipe, a terminal or a device is no
// `regular` file (one terminal is often both streams).
std::optional<FileIdentity> IdentityOfStandard(File::Standard stream);

}  // namespace varnel::safeoutput
