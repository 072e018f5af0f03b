#include "dropedit/FileKind.h"

#include <sys/stat.h>
#include <sys/types.h>

namespace varnel {

PathKind QueryPathKind(const std::string& path) {
    // mingw-w64's _stat goes through _stat64, so a file over 2 GiB still has
    // a status (only its size would be cut, and the size is not used).
    struct _stat status {};
    if (_stat(path.c_str(), &status) != 0) return PathKind::Missing;
    return KindOfMode(status.st_mode);
}

}  // namespace varnel
