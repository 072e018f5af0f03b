// Where sample buffers come from, and where in a page each one starts. The
// kernel's copies between the page cache and a buffer run several times
// slower where the buffer stands just past the file bytes it is copied to or
// from, counted within a page. So buffers come page-aligned and are then
// moved on to the offset that suits the files they are read from and written
// to (BufferPageOffset).
#pragma once

#include <cstddef>

namespace varnel {

inline constexpr std::size_t kPageBytes = 4096;

// `bytes` of memory starting on a page boundary, or nullptr when refused.
void* AllocatePageAligned(std::size_t bytes);
// Gives back memory from AllocatePageAligned; nullptr is fine.
void ReleasePageAligned(void* memory);

// Where in a page a buffer starts that is filled from file bytes standing at
// `readFrom` within their page and written to file bytes at `writtenAt`; or,
// with one offset, that only one file's bytes pass through. Measured with
// rep movsb on an AMD EPYC: a copy whose destination stands 1 to 63 bytes
// past its source within a page runs 2 to 4.5 times slower (each store looks
// to the CPU as if it might overlap the loads just ahead of it), and a write
// runs some 20% faster from memory that stands where its file bytes do,
// within 32 bytes. Hence the offset of the file written to, moved on 64
// bytes where that would put the buffer just past the bytes it is filled
// from. Always even, as samples are.
std::size_t BufferPageOffset(std::size_t fileOffset);
std::size_t BufferPageOffset(std::size_t readFrom, std::size_t writtenAt);

// Maps the pages of a buffer about to be filled all at once, where the
// system can (Linux 5.14 on), rather than by a fault at each page's first
// write: a mono run on two 220 KB files took about 25 us less so. Not for a
// buffer that may stay unused, such as a join's that the system copies past.
void MapPagesNow(void* memory, std::size_t bytes);

}  // namespace varnel
