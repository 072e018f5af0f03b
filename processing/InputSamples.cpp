#include "processing/InputSamples.h"

#include <algorithm>
#include <cstring>

namespace varnel {

std::optional<std::size_t> InputSamples::Read(std::uint8_t* buffer, std::size_t size) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_remaining));
    const std::size_t early = std::min(wanted, m_readAhead.size() - m_handedBack);
    if (early > 0) {
        std::memcpy(buffer, m_readAhead.data() + m_handedBack, early);
        m_handedBack += early;
    }
    std::size_t delivered = early;
    if (delivered < wanted) {
        const auto got = m_file->Read(buffer + delivered, wanted - delivered);
        if (!got) return std::nullopt;
        delivered += *got;
    }
    m_remaining -= delivered;
    return delivered;
}

}  // namespace varnel
