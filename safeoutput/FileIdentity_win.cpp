#include <windows.h>

#include "base/Owned.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::safeoutput {

namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
    // Devices (NUL, CON) and pipes have no file index; they hold nothing to protect.
    if (GetFileType(handle) != FILE_TYPE_DISK) return FileIdentity{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    const bool regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return FileIdentity{info.dwVolumeSerialNumber, std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                        regular};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // Access 0 (attributes only) and every share mode: the query neither
    // conflicts with nor is refused by a run's exclusive handles. Folders
    // open only with FILE_FLAG_BACKUP_SEMANTICS.
    const base::KernelHandle handle(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Holds()) return std::nullopt;
    return IdentityOfHandle(handle.Get());
}

std::optional<FileIdentity> IdentityOfStandard(File::Standard stream) {
    const HANDLE standard = GetStdHandle(stream == File::Standard::Input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE);
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE) return std::nullopt;
    return IdentityOfHandle(standard);
}

}  // namespace varnel::safeoutput
