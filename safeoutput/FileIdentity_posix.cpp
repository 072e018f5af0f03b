#include <sys/stat.h>

#include "safeoutput/FileIdentity.h"

namespace varnel::safeoutput {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                        S_ISREG(status.st_mode)};
}

}  // namespace varnel::safeoutput
