// The samples of one input as the function reads them: the bytes read ahead
// to judge the file's format handed back first (a raw file's first bytes are
// samples too), then the file's own bytes, up to the end of a WAV file's
// data chunk. Past its header a WAV file is read exactly as a raw one.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "processing/ByteStream.h"

namespace varnel {

class InputSamples final : public ByteSource {
public:
    void Attach(ByteSource& file) { m_file = &file; }
    // Bytes already read from the file that belong to the samples.
    void HandBack(const std::uint8_t* bytes, std::size_t size) {
        m_readAhead.assign(bytes, bytes + size);
        m_handedBack = 0;
    }
    // No more than `bytes` bytes are delivered (the rest of the file is not samples).
    void StopAfter(std::uint64_t bytes) { m_remaining = bytes; }

    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override;

private:
    ByteSource* m_file = nullptr;
    std::vector<std::uint8_t> m_readAhead;
    std::size_t m_handedBack = 0;
    std::uint64_t m_remaining = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace varnel
