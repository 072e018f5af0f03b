// Writes samples that stand behind a header so that each write to the file
// ends on a block boundary. The page cache keeps a file written in aligned
// blocks in large folios; 1 MiB writes that all start 44 bytes past a
// boundary, behind a WAV header, took 134 ms per 512 MiB here against 119 ms
// at aligned offsets. So the header is held back and goes with the first
// samples, and the bytes of each write past the last boundary go with the
// next: with 1 MiB chunks every write covers exactly one aligned 1 MiB of
// the file, as a raw output's would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fastio/ByteStream.h"
#include "fastio/PageAlignedMemory.h"

namespace varnel {

class BlockAlignedWriter final : public ByteSink {
public:
    // Where blocks begin in the file: a page.
    static constexpr std::size_t kBlockBytes = kPageBytes;

    // `file` is empty; `header`, shorter than a block, goes first, ahead of
    // everything written.
    void Begin(GatheringSink& file, const std::uint8_t* header, std::size_t size);
    bool Write(const std::uint8_t* data, std::size_t size) override;
    // What is held back goes first (WriteFailed when it cannot); the file
    // system then copies from `source` to wherever the file stands, aligned
    // or not.
    Copied CopyFrom(File& source, std::size_t size) override;
    // Where the next byte written lands: behind what is held back.
    std::size_t PageOffset() const override { return (m_written + m_held.size()) % kBlockBytes; }
    // Writes what is still held back. False, with the failure in the file's
    // LastFailure, when that write failed.
    bool Finish();

private:
    GatheringSink* m_file = nullptr;
    std::uint64_t m_written = 0;  // sent to the file: a multiple of kBlockBytes, unless copied to
    std::vector<std::uint8_t> m_held;
};

}  // namespace varnel
