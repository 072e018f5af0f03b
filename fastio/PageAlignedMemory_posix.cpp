#include "fastio/PageAlignedMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace varnel {

void* AllocatePageAligned(std::size_t bytes) {
    const long page = ::sysconf(_SC_PAGESIZE);
    void* memory = nullptr;
    if (::posix_memalign(&memory, page > 0 ? static_cast<std::size_t>(page) : 4096, bytes) != 0) return nullptr;
    return memory;
}

void ReleasePageAligned(void* memory) { std::free(memory); }

void MapPagesNow(void* memory, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (memory == nullptr) return;
    // The pages the bytes touch: a buffer may start past a page boundary.
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t first = start / kPageBytes * kPageBytes;
    ::madvise(reinterpret_cast<void*>(first), start - first + bytes, MADV_POPULATE_WRITE);  // older kernels: faults
#else
    (void)memory;
    (void)bytes;
#endif
}

}  // namespace varnel
