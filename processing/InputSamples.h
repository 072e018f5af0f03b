// The samples of one input as the function reads them: the bytes read ahead
// to judge the file's format handed back first (a raw file's first bytes are
// samples too), then the file's own bytes, up to the end of a WAV file's
// data chunk. Past its header a WAV file is read exactly as a raw one.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "fastio/ByteStream.h"

namespace varnel {

class InputSamples final : public ByteSource {
public:
    void Attach(ByteSource& file) { m_file = &file; }
    // Bytes already read from a stream that belong to the samples (a file
    // on disk is read again from its start instead).
    void HandBack(const std::uint8_t* bytes, std::size_t size) {
        m_readAhead.assign(bytes, bytes + size);
        m_handedBack = 0;
    }
    // No more than `bytes` bytes are delivered (the rest of the file is not samples).
    void StopAfter(std::uint64_t bytes) { m_remaining = bytes; }

    // The bytes handed back leave the rest of a chunk a little way on from
    // where the buffer was placed for it: the file's bytes up to the
    // buffer's next page come in a read of their own, so that the large read
    // lands where it was placed for again.
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override;
    // NotBySystem while bytes handed back are still to come.
    Copied CopyTo(ByteSink& sink, std::size_t size) override;
    // The file's, once what was handed back has been delivered.
    std::size_t PageOffset() const override;

private:
    std::size_t Wanted(std::size_t size) const;

    ByteSource* m_file = nullptr;
    std::vector<std::uint8_t> m_readAhead;
    std::size_t m_handedBack = 0;
    std::uint64_t m_remaining = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace varnel
