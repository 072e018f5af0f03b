// What a File holds on POSIX: a descriptor, what was found of it when it
// was opened, and the pipe its copies from other files go through.
#pragma once

#include <cstdint>

#include "fastio/CopyPipe.h"

namespace varnel {

struct SystemFile {
    int fd = -1;
    bool diskFile = false;  // a regular file, as found when opened
    // Its identity, by which a second open of it is refused.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    CopyPipe copyPipe;
    bool lostBytes = false;  // a copy lost bytes: every write fails
    bool appending = false;  // opened with O_APPEND: each write goes to the end
};

}  // namespace varnel
