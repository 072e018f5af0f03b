#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "SafeOutput.h"

namespace varnel::cli {

std::string ResolvedOutputPath(const std::string& output) {
    std::error_code error;
    if (!std::filesystem::is_symlink(output, error)) return output;
    const auto target = std::filesystem::canonical(output, error);
    return error ? output : target.string();  // a dangling link is replaced itself
}

bool ReplaceWith(const std::string& from, const std::string& to) {
    struct stat existing {};
    if (::stat(to.c_str(), &existing) == 0 && ::chmod(from.c_str(), existing.st_mode & 07777) != 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace varnel::cli
