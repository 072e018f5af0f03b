#include "processing/PageAlignedMemory.h"

#include <unistd.h>

#include <cstdlib>

namespace varnel {

void* AllocatePageAligned(std::size_t bytes) {
    const long page = ::sysconf(_SC_PAGESIZE);
    void* memory = nullptr;
    if (::posix_memalign(&memory, page > 0 ? static_cast<std::size_t>(page) : 4096, bytes) != 0) return nullptr;
    return memory;
}

void ReleasePageAligned(void* memory) { std::free(memory); }

}  // namespace varnel
