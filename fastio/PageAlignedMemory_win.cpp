#include <windows.h>
#include <malloc.h>

#include "fastio/PageAlignedMemory.h"

namespace varnel {

void* AllocatePageAligned(std::size_t bytes) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return _aligned_malloc(bytes, system.dwPageSize);
}

void ReleasePageAligned(void* memory) { _aligned_free(memory); }

// Windows has no call that commits and maps private pages ahead of use.
void MapPagesNow(void*, std::size_t) {}

}  // namespace varnel
