#include <windows.h>

#include "base/Owned.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::safeoutput {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // Access 0 (attributes only) and every share mode: the query neither
    // conflicts with nor is refused by a run's exclusive handles. Folders
    // open only with FILE_FLAG_BACKUP_SEMANTICS.
    const base::KernelHandle handle(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Holds()) return std::nullopt;
    // Devices (NUL, CON) have no file index; they hold nothing to protect.
    if (GetFileType(handle.Get()) != FILE_TYPE_DISK) return FileIdentity{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
    const bool regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return FileIdentity{info.dwVolumeSerialNumber, std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                        regular};
}

}  // namespace varnel::safeoutput
