#include "processing/InputSamples.h"

#include <algorithm>
#include <cstring>

#include "fastio/PageAlignedMemory.h"

namespace varnel {

std::size_t InputSamples::Wanted(std::size_t size) const {
    return static_cast<std::size_t>(std::min<std::uint64_t>(size, m_remaining));
}

std::optional<std::size_t> InputSamples::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t wanted = Wanted(size);
    const std::size_t early = std::min(wanted, m_readAhead.size() - m_handedBack);
    if (early > 0) {
        std::memcpy(buffer, m_readAhead.data() + m_handedBack, early);
        m_handedBack += early;
    }
    std::size_t delivered = early;
    const std::size_t lead = std::min(wanted - delivered, (kPageBytes - early % kPageBytes) % kPageBytes);
    for (const std::size_t part : {lead, wanted - delivered - lead}) {
        if (part == 0) continue;
        const auto got = m_file->Read(buffer + delivered, part);
        if (!got) return std::nullopt;
        delivered += *got;
        if (*got < part) break;  // the end
    }
    m_remaining -= delivered;
    return delivered;
}

std::size_t InputSamples::PageOffset() const {
    return m_handedBack < m_readAhead.size() ? 0 : m_file->PageOffset();
}

Copied InputSamples::CopyTo(ByteSink& sink, std::size_t size) {
    // Only a stream hands bytes back, and the system copies files alone.
    if (m_handedBack < m_readAhead.size()) return Copied::NotBySystem();
    const std::size_t wanted = Wanted(size);
    if (wanted == 0) return Copied::Moved(0);
    const Copied copied = m_file->CopyTo(sink, wanted);
    m_remaining -= copied.bytes;
    return copied;
}

}  // namespace varnel
