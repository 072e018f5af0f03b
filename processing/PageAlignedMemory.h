// Where sample buffers come from: memory that starts on a page boundary.
// The kernel copies file data into and out of such a buffer several times
// faster on some CPUs (rep movsb into a destination 16 bytes past a page
// boundary, which is where malloc puts large blocks, ran about 5x slower
// than into an aligned one), so every bulk read and write goes through one.
#pragma once

#include <cstddef>

namespace varnel {

// `bytes` of memory starting on a page boundary, or nullptr when refused.
void* AllocatePageAligned(std::size_t bytes);
// Gives back memory from AllocatePageAligned; nullptr is fine.
void ReleasePageAligned(void* memory);

}  // namespace varnel
