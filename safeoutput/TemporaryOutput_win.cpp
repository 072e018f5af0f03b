#include <windows.h>

#include "safeoutput/Interrupt.h"
#include "safeoutput/TemporaryOutput.h"

namespace varnel::safeoutput {
namespace {

bool MarkForDeletion(HANDLE handle, bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

}  // namespace

bool TemporaryOutput::Create(const std::string& target, File& output, FileFailure& failure) {
    Discard();
    if (!CreateNamed(target, output, failure)) return false;
    // A second handle, with the right to delete (the output's handle shares
    // deletion), marks the file for deletion: the system then removes it
    // when the last handle closes, however the program ends, until the mark
    // is cleared just before the rename. Without the mark the file is still
    // removed on failure and on Ctrl-C, only not when the program is killed.
    HANDLE handle = CreateFileA(m_path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return true;
    if (!MarkForDeletion(handle, true)) {
        CloseHandle(handle);
        return true;
    }
    m_system.deleteHandle = handle;
    return true;
}

bool TemporaryOutput::PutInPlace(const std::string& target, FileFailure& failure) {
    if (m_path.empty()) {
        failure = {FileCause::generic, -1};
        return false;
    }
    if (m_system.deleteHandle) {
        const bool kept = MarkForDeletion(static_cast<HANDLE>(m_system.deleteHandle), false);
        if (!kept) failure = SystemFailure(static_cast<long>(GetLastError()));
        CloseHandle(static_cast<HANDLE>(m_system.deleteHandle));
        m_system.deleteHandle = nullptr;
        if (!kept) {  // gone with the handle
            Discard();
            return false;
        }
    }
    const bool replaced = ReplaceWith(m_path, target, failure);
    if (!replaced) DeleteFileA(m_path.c_str());
    m_path.clear();
    return replaced;
}

void TemporaryOutput::Discard() {
    if (m_system.deleteHandle) CloseHandle(static_cast<HANDLE>(m_system.deleteHandle));
    m_system.deleteHandle = nullptr;
    if (m_path.empty()) return;
    DeleteFileA(m_path.c_str());  // when still marked, fails harmlessly: the file is going anyway
    RemoveOnInterrupt({});
    m_path.clear();
}

// MoveFileEx replaces an existing file in one step on the same volume; it
// fails (and leaves both files) when another program holds OUTPUT open.
bool ReplaceWith(const std::string& from, const std::string& to, FileFailure& failure) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    failure = SystemFailure(static_cast<long>(GetLastError()), to);
    return false;
}

}  // namespace varnel::safeoutput
