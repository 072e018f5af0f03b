#include <windows.h>

#include <algorithm>

#include "processing/File.h"
#include "fastio/PageAlignedMemory.h"

namespace varnel {
namespace {

FileCause CauseOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
    case ERROR_DISK_CHANGE: return FileCause::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_WRONG_DISK:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_BUFFER_OVERFLOW: return FileCause::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_SHARING_BUFFER_EXCEEDED:
    case ERROR_NO_MORE_SEARCH_HANDLES: return FileCause::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_ACCESS:
    case ERROR_WRITE_PROTECT:
    case ERROR_WRITE_FAULT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_CANNOT_MAKE:
    case ERROR_BUSY: return FileCause::accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_FORMAT:
    case ERROR_NOT_DOS_DISK:
    case ERROR_BAD_EXE_FORMAT: return FileCause::invalidFile;
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY: return FileCause::removeCurrentDir;
    case ERROR_NO_SPOOL_SPACE: return FileCause::directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT: return FileCause::badSeek;
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_NET_WRITE_FAULT: return FileCause::hardIO;
    case ERROR_SHARING_VIOLATION: return FileCause::sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED: return FileCause::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE: return FileCause::diskFull;
    case ERROR_HANDLE_EOF: return FileCause::endOfFile;
    default: return FileCause::generic;
    }
}

FileFailure LastErrorFailure() {
    const DWORD error = GetLastError();
    return {CauseOf(error), static_cast<long>(error)};
}

// ReadFile takes 32-bit counts; larger requests go in pieces (writes go in
// pieces of kMostBytesPerWrite).
constexpr std::size_t kMaxTransfer = 1u << 30;

}  // namespace

FileFailure SystemFailure(long error, const std::string&) { return {CauseOf(static_cast<DWORD>(error)), error}; }

bool IsFileSizeLimit(const FileFailure& failure) {
    return failure.cause == FileCause::diskFull && failure.osError == ERROR_FILE_TOO_LARGE;
}

File::~File() { Close(); }

bool File::IsOpen() const { return m_system.handle != nullptr; }

bool File::Open(const std::string& path, Mode mode, FileFailure& failure) {
    Close();
    const bool reading = mode == Mode::Read || mode == Mode::ReadShared;
    DWORD creation = CREATE_ALWAYS;
    if (reading || mode == Mode::WriteExisting) creation = OPEN_EXISTING;
    if (mode == Mode::CreateNew) creation = CREATE_NEW;
    // Share mode 0: no second open of this file succeeds while we hold it. A
    // new file alone may be deleted while open (it is a temporary file whose
    // owner must be able to remove it from a console control handler; the
    // file then goes away when the handle is closed).
    DWORD share = mode == Mode::CreateNew ? FILE_SHARE_DELETE : 0;
    if (mode == Mode::ReadShared) share = FILE_SHARE_READ;
    HANDLE handle = CreateFileA(path.c_str(), reading ? GENERIC_READ : GENERIC_WRITE, share, nullptr, creation,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = LastErrorFailure();
        return false;
    }
    m_system.handle = handle;
    m_start = 0;
    m_lastFailure = {};
    m_ended = false;
    return true;
}

bool File::OpenStandard(Standard stream, FileFailure& failure) {
    Close();
    // A handle of our own on the same stream: closing it leaves the stream open.
    const HANDLE standard = GetStdHandle(stream == Standard::Input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE);
    HANDLE own = nullptr;
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), standard, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        failure = standard == nullptr ? FileFailure{FileCause::invalidFile, 0} : LastErrorFailure();
        return false;
    }
    m_system.handle = own;
    // The duplicate shares the stream's position: a disk file counts from there.
    LARGE_INTEGER position{};
    m_start = IsDiskFile() && SetFilePointerEx(own, {}, &position, FILE_CURRENT)
                  ? static_cast<std::uint64_t>(position.QuadPart)
                  : 0;
    m_lastFailure = {};
    m_ended = false;
    return true;
}

std::optional<std::uint64_t> File::Length() const {
    if (!m_system.handle) return std::nullopt;
    // A pipe or a device has no length; as on POSIX it counts as 0 and is
    // read to its end.
    if (!IsDiskFile()) return 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(static_cast<HANDLE>(m_system.handle), &size)) return std::nullopt;
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
    return bytes > m_start ? bytes - m_start : 0;
}

bool File::IsDiskFile() const { return m_system.handle && GetFileType(static_cast<HANDLE>(m_system.handle)) == FILE_TYPE_DISK; }

// A shell's ">>" opens the file for writing and moves to its end, so the
// stream writes where it stands, as any other.
bool File::CanRewrite() const { return IsDiskFile(); }

std::optional<std::size_t> File::Read(std::uint8_t* buffer, std::size_t size) {
    if (m_ended) return 0;
    std::size_t delivered = 0;
    while (delivered < size) {
        const auto request = static_cast<DWORD>(std::min(size - delivered, kMaxTransfer));
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(m_system.handle), buffer + delivered, request, &got, nullptr)) {
            if (GetLastError() == ERROR_HANDLE_EOF || GetLastError() == ERROR_BROKEN_PIPE) break;
            m_lastFailure = LastErrorFailure();
            return std::nullopt;
        }
        if (got == 0) break;
        delivered += got;
    }
    m_ended = delivered < size;
    return delivered;
}

bool File::Write(const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const auto request = static_cast<DWORD>(std::min(size - done, kMostBytesPerWrite));
        DWORD put = 0;
        if (!WriteFile(static_cast<HANDLE>(m_system.handle), data + done, request, &put, nullptr)) {
            m_lastFailure = LastErrorFailure();
            return false;
        }
        if (put == 0) {
            m_lastFailure = {FileCause::diskFull, ERROR_DISK_FULL};
            return false;
        }
        done += put;
    }
    return true;
}

// Windows has no call that copies between two open handles in the system
// (CopyFileEx takes names and makes a whole file, block cloning needs ReFS):
// reading and writing through the page-aligned buffers is its fastest way.
Copied File::CopyTo(ByteSink&, std::size_t) { return Copied::NotBySystem(); }
Copied File::CopyFrom(File&, std::size_t) { return Copied::NotBySystem(); }

// The cache of Windows has no call that writes two buffers as one.
bool File::WriteBoth(const std::uint8_t* first, std::size_t firstSize, const std::uint8_t* second,
                     std::size_t secondSize) {
    return Write(first, firstSize) && Write(second, secondSize);
}

std::size_t File::PageOffset() const {
    LARGE_INTEGER position{};
    if (!IsDiskFile() || !SetFilePointerEx(static_cast<HANDLE>(m_system.handle), {}, &position, FILE_CURRENT)) return 0;
    return static_cast<std::size_t>(position.QuadPart % static_cast<LONGLONG>(kPageBytes));
}

bool File::Seek(std::uint64_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(m_start + offset);
    // A pipe or a console "succeeds" without moving: only a disk file can.
    if (GetFileType(static_cast<HANDLE>(m_system.handle)) != FILE_TYPE_DISK) {
        m_lastFailure = {FileCause::badSeek, ERROR_SEEK_ON_DEVICE};
        return false;
    }
    if (!SetFilePointerEx(static_cast<HANDLE>(m_system.handle), position, nullptr, FILE_BEGIN)) {
        m_lastFailure = LastErrorFailure();
        return false;
    }
    m_ended = false;
    return true;
}

bool File::Close() {
    if (!m_system.handle) return true;
    const bool closed = CloseHandle(static_cast<HANDLE>(m_system.handle));
    if (!closed) m_lastFailure = LastErrorFailure();
    m_system.handle = nullptr;
    return closed;
}

}  // namespace varnel
