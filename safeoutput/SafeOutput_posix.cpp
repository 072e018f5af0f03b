#include <filesystem>

#include "safeoutput/SafeOutput.h"

namespace varnel::safeoutput {

// Followed link by link rather than by canonical(), which fails on a link
// that points to no file: that file is the one to create, beside the link's
// own folder when the link is relative.
std::string ResolvedOutputPath(const std::string& output) {
    namespace fs = std::filesystem;
    constexpr int kMostLinks = 40;  // as the kernel's ELOOP limit
    fs::path path = output;
    std::error_code error;
    for (int hop = 0; hop < kMostLinks && fs::is_symlink(path, error); ++hop) {
        const fs::path target = fs::read_symlink(path, error);
        if (error) return output;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return fs::is_symlink(path, error) ? output : path.string();  // a loop is left to the open to refuse
}

}  // namespace varnel::safeoutput
