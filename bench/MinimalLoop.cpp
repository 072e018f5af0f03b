// The yardstick for `make bench`: the least a program can do for each
// function, a read-transform-write loop over 1 MiB page-aligned buffers with
// nothing else (no checks, no messages, no temporary file), linked
// statically so that its start costs as little as a program's can. No write
// is larger than 1 MiB (stereo reads half a buffer of each input), the size
// at which the page cache takes writes steadily. Native little-endian
// samples.
//
// With --misaligned the buffers start 16 bytes past a page boundary, where
// malloc puts large blocks: the kernel's copies into such a buffer are much
// slower on some CPUs, and this variant keeps that cost in sight.
//
//   bench_minimal_loop [--misaligned] FUNCTION INPUT1 INPUT2 OUTPUT
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 20;
constexpr std::size_t kPageBytes = 4096;
constexpr std::size_t kMallocOffset = 16;  // where glibc's malloc puts a large block

std::size_t g_offset = 0;  // from a page boundary

// `bytes` of memory at g_offset past a page boundary, never given back.
template <typename T>
T* Buffer(std::size_t bytes) {
    void* memory = nullptr;
    if (posix_memalign(&memory, kPageBytes, bytes + kPageBytes) != 0) std::abort();
    return reinterpret_cast<T*>(static_cast<char*>(memory) + g_offset);
}

// Reads until `size` bytes or the end.
std::size_t ReadFull(int fd, void* buffer, std::size_t size) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool WriteFull(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd, bytes, size);
        if (put <= 0) return false;
        bytes += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool Mono(int in1, int in2, int out) {
    auto* a = Buffer<std::int16_t>(kBufferBytes);
    auto* b = Buffer<std::int16_t>(kBufferBytes);
    while (true) {
        const std::size_t got1 = ReadFull(in1, a, kBufferBytes);
        const std::size_t n = std::min(got1, ReadFull(in2, b, kBufferBytes)) / 2;
        if (n == 0) return true;
        for (std::size_t i = 0; i < n; ++i) {
            a[i] = static_cast<std::int16_t>(std::clamp(a[i] + b[i], -32768, 32767));
        }
        if (!WriteFull(out, a, n * 2)) return false;
    }
}

bool Stereo(int in1, int in2, int out) {
    constexpr std::size_t kHalf = kBufferBytes / 2;
    auto* a = Buffer<std::int16_t>(kHalf);
    auto* b = Buffer<std::int16_t>(kHalf);
    auto* frames = Buffer<std::int16_t>(kBufferBytes);
    while (true) {
        const std::size_t got1 = ReadFull(in1, a, kHalf);
        const std::size_t n = std::min(got1, ReadFull(in2, b, kHalf)) / 2;
        if (n == 0) return true;
        for (std::size_t i = 0; i < n; ++i) {
            frames[2 * i] = a[i];
            frames[2 * i + 1] = b[i];
        }
        if (!WriteFull(out, frames, n * 4)) return false;
    }
}

bool Copy(int in, int out) {
    static char* const buffer = Buffer<char>(kBufferBytes);
    while (const std::size_t n = ReadFull(in, buffer, kBufferBytes)) {
        if (!WriteFull(out, buffer, n)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 6 && std::string_view(argv[1]) == "--misaligned") {
        g_offset = kMallocOffset;
        --argc;
        ++argv;
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s [--misaligned] mono|stereo|join12|join21 INPUT1 INPUT2 OUTPUT\n", argv[0]);
        return 2;
    }
    const int in1 = ::open(argv[2], O_RDONLY);
    const int in2 = ::open(argv[3], O_RDONLY);
    const int out = ::open(argv[4], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in1 < 0 || in2 < 0 || out < 0) {
        std::perror("open");
        return 1;
    }
    const std::string_view function = argv[1];
    bool done = false;
    if (function == "mono") done = Mono(in1, in2, out);
    if (function == "stereo") done = Stereo(in1, in2, out);
    if (function == "join12") done = Copy(in1, out) && Copy(in2, out);
    if (function == "join21") done = Copy(in2, out) && Copy(in1, out);
    return done && ::close(out) == 0 ? 0 : 1;
}
