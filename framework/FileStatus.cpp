#include "FileStatus.h"

namespace varnel::framework {

std::optional<FileStatus> GetFileStatus(const std::string& path) {
    if (path.empty()) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    FileStatus status;
    status.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.attributes = data.dwFileAttributes;
    return status;
}

}  // namespace varnel::framework
