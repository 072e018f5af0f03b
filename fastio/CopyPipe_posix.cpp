#include "fastio/CopyPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "fastio/PageAlignedMemory.h"

namespace varnel {

bool CopyPipe::Open(std::size_t wantedBytes) {
    if (m_ends[0] >= 0) return !m_refused;
    if (::pipe2(m_ends, O_CLOEXEC) != 0) {
        m_ends[0] = m_ends[1] = -1;
        return false;
    }
    int bytes = ::fcntl(m_ends[1], F_SETPIPE_SZ, static_cast<int>(wantedBytes));
    if (bytes <= 0) bytes = ::fcntl(m_ends[1], F_GETPIPE_SZ);
    m_bytes = bytes > 0 ? static_cast<std::size_t>(bytes) : kPageBytes;
    return true;
}

long CopyPipe::Take(int fromFd, std::size_t size) {
    ssize_t taken = 0;
    do {
        taken = ::splice(fromFd, nullptr, m_ends[1], nullptr, size, 0);
    } while (taken < 0 && errno == EINTR);
    return static_cast<long>(taken);
}

std::size_t CopyPipe::Give(int toFd, std::size_t size) {
    std::size_t moved = 0;
    while (moved < size && !m_refused) {
        const ssize_t put = ::splice(m_ends[0], nullptr, toFd, nullptr, size - moved, 0);
        if (put > 0) {
            moved += static_cast<std::size_t>(put);
        } else if (put == 0 || errno != EINTR) {
            m_refused = true;
        }
    }
    return moved;
}

long CopyPipe::ReadBack(unsigned char* buffer, std::size_t size) {
    ssize_t got = 0;
    do {
        got = ::read(m_ends[0], buffer, size);
    } while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

void CopyPipe::Close() {
    for (int& end : m_ends) {
        if (end >= 0) ::close(end);
        end = -1;
    }
    m_refused = false;
}

}  // namespace varnel
