// A pipe through which the kernel copies one file's bytes into another
// (Linux's splice): the input's pages are spliced into the pipe, and from it
// into the output, which copies them once in the kernel. copy_file_range
// does the same between ext4 files, but through a pipe of 64 KiB, and writes
// of 64 KiB left a join of 2 x 256 MiB at 131-157 ms where reading and
// writing 1 MiB at a time took 116-138 ms (AMD EPYC, Linux 6.18); through a
// pipe of 1 MiB it took 114-115 ms. POSIX only.
#pragma once

#include <cstddef>

namespace varnel {

class CopyPipe {
public:
    CopyPipe() = default;
    ~CopyPipe() { Close(); }
    CopyPipe(const CopyPipe&) = delete;
    CopyPipe& operator=(const CopyPipe&) = delete;

    // Opens the pipe at its first use, asking for `wantedBytes` of room:
    // where that much is refused (a user over the system's limit of pipe
    // memory), the pipe's own size. False where the system gives no pipe,
    // or where the output already took no splice.
    bool Open(std::size_t wantedBytes);
    // The bytes the pipe holds at most.
    std::size_t Bytes() const { return m_bytes; }
    // Splices up to `size` bytes from `fromFd`, where it stands, into the
    // pipe: the bytes taken, 0 at its end, -1 (errno set) where it refused.
    long Take(int fromFd, std::size_t size);
    // Splices up to `size` bytes of the pipe into `toFd`, where it stands,
    // for as long as it takes them: the bytes moved. Once it takes no more
    // (a file system without splice, or a fault), Refused.
    std::size_t Give(int toFd, std::size_t size);
    bool Refused() const { return m_refused; }
    // Reads back up to `size` bytes that the output refused: the bytes
    // read, -1 (errno set) on a failure.
    long ReadBack(unsigned char* buffer, std::size_t size);
    void Close();

private:
    int m_ends[2] = {-1, -1};
    std::size_t m_bytes = 0;
    bool m_refused = false;
};

}  // namespace varnel
