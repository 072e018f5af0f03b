#include <sys/stat.h>
#include <unistd.h>

#include "safeoutput/FileIdentity.h"

namespace varnel::safeoutput {

namespace {

FileIdentity IdentityFrom(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            S_ISREG(status.st_mode)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return IdentityFrom(status);
}

std::optional<FileIdentity> IdentityOfStandard(File::Standard stream) {
    struct stat status {};
    if (::fstat(stream == File::Standard::Input ? STDIN_FILENO : STDOUT_FILENO, &status) != 0) return std::nullopt;
    return IdentityFrom(status);
}

}  // namespace varnel::safeoutput
