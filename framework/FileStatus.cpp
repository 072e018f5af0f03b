#include "FileStatus.h"

#include <windows.h>

namespace varnel::framework {

bool FileExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
}

}  // namespace varnel::framework
