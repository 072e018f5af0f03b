#include "processing/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <utility>

#include "fastio/PageAlignedMemory.h"

namespace varnel {
namespace {

// Identities of the files this process holds open through File. POSIX has
// no share modes, so exclusivity is kept here: a file is held once
// exclusively, or by any number of shared readers.
class OpenFileRegistry {
public:
    bool Claim(std::uint64_t device, std::uint64_t inode, bool shared) {
        std::lock_guard lock(m_mutex);
        const auto [entry, isNew] = m_open.try_emplace({device, inode}, shared ? 1 : kExclusive);
        if (isNew) return true;
        if (!shared || entry->second == kExclusive) return false;
        ++entry->second;
        return true;
    }
    void Release(std::uint64_t device, std::uint64_t inode) {
        std::lock_guard lock(m_mutex);
        const auto entry = m_open.find({device, inode});
        if (entry == m_open.end()) return;
        if (entry->second == kExclusive || --entry->second == 0) m_open.erase(entry);
    }

private:
    static constexpr int kExclusive = -1;  // else the count of shared readers
    std::mutex m_mutex;
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> m_open;
};

OpenFileRegistry& Registry() {
    static OpenFileRegistry registry;
    return registry;
}

bool FolderOfExists(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return true;  // the current folder
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

FileCause CauseOf(int error, const std::string& path) {
    switch (error) {
    case ENOENT: return FolderOfExists(path) ? FileCause::fileNotFound : FileCause::badPath;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return FileCause::badPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return FileCause::accessDenied;
    case EMFILE:
    case ENFILE: return FileCause::tooManyOpenFiles;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return FileCause::diskFull;
    case EIO: return FileCause::hardIO;
    case ESPIPE: return FileCause::badSeek;
    case ETXTBSY:
    case EBUSY: return FileCause::sharingViolation;
    case EAGAIN: return FileCause::lockViolation;
    default: return FileCause::generic;
    }
}

FileFailure FailureOf(int error, const std::string& path = {}) { return {CauseOf(error, path), error}; }

// Whether the file `fd` still holds every byte before where it stands, or
// at least has not become shorter than `lengthBefore`, which becomes its
// length now: the kernel's own files (procfs) measure 0 however much they
// deliver. When it does not, `failure` says why.
bool HoldsWhatWasTaken(int fd, std::uint64_t& lengthBefore, FileFailure& failure) {
    struct stat status {};
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0 || ::fstat(fd, &status) != 0) {
        failure = FailureOf(errno);
        return false;
    }
    const auto length = static_cast<std::uint64_t>(status.st_size);
    const bool cutShort = length < static_cast<std::uint64_t>(position) && length < lengthBefore;
    lengthBefore = length;
    if (!cutShort) return true;
    failure = {FileCause::endOfFile, -1};
    return false;
}

}  // namespace

FileFailure SystemFailure(long error, const std::string& path) { return FailureOf(static_cast<int>(error), path); }

bool IsFileSizeLimit(const FileFailure& failure) {
    return failure.cause == FileCause::diskFull && failure.osError == EFBIG;
}

File::~File() { Close(); }

bool File::IsOpen() const { return m_system.fd >= 0; }

bool File::OpenStandard(Standard stream, FileFailure& failure) {
    Close();
    // A descriptor of our own on the same open file: its offset (an append
    // included) is the shell's, and closing it leaves the stream open.
    const int fd = ::fcntl(stream == Standard::Input ? STDIN_FILENO : STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        failure = FailureOf(errno);
        return false;
    }
    struct stat status {};
    m_system.fd = fd;
    m_system.lostBytes = false;
    m_system.diskFile = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const off_t position = m_system.diskFile ? ::lseek(fd, 0, SEEK_CUR) : 0;
    m_start = position > 0 ? static_cast<std::uint64_t>(position) : 0;
    m_system.appending = (::fcntl(fd, F_GETFL) & O_APPEND) != 0;
    m_system.device = m_system.inode = 0;  // never claimed: the stream is not named
    m_lastFailure = {};
    m_ended = false;
    return true;
}

bool File::Open(const std::string& path, Mode mode, FileFailure& failure) {
    Close();
    // The output is not truncated by open(): an output that turns out to be
    // a file this process already holds must be left untouched.
    int flags = O_WRONLY | O_CREAT;
    if (mode == Mode::Read || mode == Mode::ReadShared) flags = O_RDONLY;
    if (mode == Mode::CreateNew) flags = O_WRONLY | O_CREAT | O_EXCL;
    if (mode == Mode::WriteExisting) flags = O_WRONLY;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        failure = FailureOf(errno, path);
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        failure = FailureOf(errno, path);
        ::close(fd);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {  // as Windows refuses to open a folder as a file
        failure = {FileCause::accessDenied, EISDIR};
        ::close(fd);
        return false;
    }
    const auto device = static_cast<std::uint64_t>(status.st_dev);
    const auto inode = static_cast<std::uint64_t>(status.st_ino);
    if (!Registry().Claim(device, inode, mode == Mode::ReadShared)) {
        failure = {FileCause::sharingViolation, EBUSY};
        ::close(fd);
        return false;
    }
    if (mode == Mode::CreateWrite && S_ISREG(status.st_mode) && ::ftruncate(fd, 0) != 0) {
        failure = FailureOf(errno, path);
        Registry().Release(device, inode);
        ::close(fd);
        return false;
    }
    m_system.fd = fd;
    m_system.lostBytes = false;
    m_system.diskFile = S_ISREG(status.st_mode);
    m_start = 0;
    m_system.appending = false;
    m_system.device = device;
    m_system.inode = inode;
    m_lastFailure = {};
    m_ended = false;
    return true;
}

std::optional<std::uint64_t> File::Length() const {
    struct stat status {};
    if (m_system.fd < 0 || ::fstat(m_system.fd, &status) != 0) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(status.st_size);
    return size > m_start ? size - m_start : 0;
}

// What an open descriptor refers to never changes.
bool File::IsDiskFile() const { return m_system.fd >= 0 && m_system.diskFile; }

bool File::CanRewrite() const { return IsDiskFile() && !m_system.appending; }

std::optional<std::size_t> File::Read(std::uint8_t* buffer, std::size_t size) {
    if (m_ended) return 0;
    std::size_t delivered = 0;
    while (delivered < size) {
        const ssize_t got = ::read(m_system.fd, buffer + delivered, size - delivered);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            m_lastFailure = FailureOf(errno);
            return std::nullopt;
        }
        delivered += static_cast<std::size_t>(got);
    }
    m_ended = delivered < size;
    return delivered;
}

bool File::Write(const std::uint8_t* data, std::size_t size) {
    if (m_system.lostBytes) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(m_system.fd, data + done, std::min(size - done, kMostBytesPerWrite));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            m_lastFailure = put < 0 ? FailureOf(errno) : FileFailure{FileCause::diskFull, ENOSPC};
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool File::WriteBoth(const std::uint8_t* first, std::size_t firstSize, const std::uint8_t* second,
                     std::size_t secondSize) {
    if (m_system.lostBytes) return false;
    if (firstSize + secondSize > kMostBytesPerWrite) return Write(first, firstSize) && Write(second, secondSize);
    iovec parts[2] = {{const_cast<std::uint8_t*>(first), firstSize}, {const_cast<std::uint8_t*>(second), secondSize}};
    ssize_t put = 0;
    do {
        put = ::writev(m_system.fd, parts, 2);
    } while (put < 0 && errno == EINTR);
    if (put < 0) {
        m_lastFailure = FailureOf(errno);
        return false;
    }
    // A short write (a signal, a size limit, a full disk): the rest goes as
    // plain writes, which finish it or say why they cannot.
    const auto done = static_cast<std::size_t>(put);
    if (done < firstSize) return Write(first + done, firstSize - done) && Write(second, secondSize);
    return Write(second + (done - firstSize), secondSize - (done - firstSize));
}

Copied File::CopyTo(ByteSink& sink, std::size_t size) { return sink.CopyFrom(*this, size); }

// The first piece ends where this file reaches a whole pipe's worth, so
// that each write after it covers one aligned stretch of the file.
Copied File::CopyFrom(File& source, std::size_t size) {
    CopyPipe& pipe = m_system.copyPipe;
    if (!IsDiskFile() || !source.IsDiskFile() || !pipe.Open(kMostBytesPerWrite)) return Copied::NotBySystem();
    const off_t at = ::lseek(m_system.fd, 0, SEEK_CUR);
    std::size_t piece = pipe.Bytes() - (at > 0 ? static_cast<std::size_t>(at) % pipe.Bytes() : 0);
    std::uint64_t sourceLength = source.Length().value_or(0);
    // Where the file system takes no splice, or faults, the bytes taken
    // from the input go by plain writes, which name any fault, and so does
    // all that follows.
    const auto emptyPipe = [&](std::size_t bytesTaken) {
        std::size_t left = bytesTaken - pipe.Give(m_system.fd, bytesTaken);
        std::uint8_t bytes[65536];
        while (left > 0) {
            const long got = pipe.ReadBack(bytes, std::min(left, sizeof bytes));
            // Bytes taken from the input and lost: nothing more may be written.
            if (got <= 0 || !Write(bytes, static_cast<std::size_t>(got))) {
                if (got <= 0) m_lastFailure = FailureOf(got < 0 ? errno : EIO);
                m_system.lostBytes = true;
                return false;
            }
            left -= static_cast<std::size_t>(got);
        }
        return true;
    };
    std::size_t moved = 0;
    while (moved < size) {
        const long taken = pipe.Take(source.m_system.fd, std::min(piece, size - moved));
        // The end, or an input the system will not splice, with nothing
        // taken from it: a read tells which, and names any fault.
        if (taken < 0 && moved == 0) return Copied::NotBySystem();
        if (taken <= 0) break;
        const bool written = emptyPipe(static_cast<std::size_t>(taken));
        // Checked once the piece is in this file, which then holds a copy of
        // its own: a truncation after that no longer reaches it. One before
        // it may also have taken pages from the pipe (ENODATA), which is the
        // input's fault, not this file's.
        if (!HoldsWhatWasTaken(source.m_system.fd, sourceLength, source.m_lastFailure)) return Copied::ReadFailed();
        if (!written) return Copied::WriteFailed();
        moved += static_cast<std::size_t>(taken);
        if (pipe.Refused()) break;
        piece = pipe.Bytes();
    }
    return Copied::Moved(moved);
}

std::size_t File::PageOffset() const {
    if (!IsDiskFile()) return 0;
    const off_t position = ::lseek(m_system.fd, 0, SEEK_CUR);
    return position > 0 ? static_cast<std::size_t>(position) % kPageBytes : 0;
}

bool File::Seek(std::uint64_t offset) {
    if (::lseek(m_system.fd, static_cast<off_t>(m_start + offset), SEEK_SET) < 0) {
        m_lastFailure = FailureOf(errno);
        return false;
    }
    m_ended = false;
    return true;
}

bool File::Close() {
    m_system.copyPipe.Close();
    if (m_system.fd < 0) return true;
    const bool closed = ::close(m_system.fd) == 0 || errno == EINTR;
    if (!closed) m_lastFailure = FailureOf(errno);
    Registry().Release(m_system.device, m_system.inode);
    m_system.fd = -1;
    // A file with a gap where a copy lost bytes was not stored, however the
    // failure was answered: its LastFailure still says why.
    return closed && !m_system.lostBytes;
}

}  // namespace varnel
