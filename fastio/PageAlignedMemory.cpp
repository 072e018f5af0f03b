#include "fastio/PageAlignedMemory.h"

namespace varnel {
namespace {

constexpr std::size_t kAliasingBytes = 64;

}  // namespace

std::size_t BufferPageOffset(std::size_t fileOffset) { return fileOffset % kPageBytes & ~std::size_t{1}; }

std::size_t BufferPageOffset(std::size_t readFrom, std::size_t writtenAt) {
    std::size_t offset = writtenAt % kPageBytes;
    const std::size_t pastRead = (offset + kPageBytes - readFrom % kPageBytes) % kPageBytes;
    if (pastRead > 0 && pastRead < kAliasingBytes) offset = (offset + kAliasingBytes) % kPageBytes;
    return offset & ~std::size_t{1};
}

}  // namespace varnel
