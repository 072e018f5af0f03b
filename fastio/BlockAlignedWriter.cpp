#include "fastio/BlockAlignedWriter.h"

namespace varnel {

void BlockAlignedWriter::Begin(GatheringSink& file, const std::uint8_t* header, std::size_t size) {
    m_file = &file;
    m_written = 0;
    m_held.reserve(kBlockBytes);
    m_held.assign(header, header + size);
}

bool BlockAlignedWriter::Write(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t end = m_written + m_held.size() + size;
    const std::uint64_t blockEnd = end / kBlockBytes * kBlockBytes;
    if (blockEnd <= m_written) {
        m_held.insert(m_held.end(), data, data + size);
        return true;
    }
    // What is held never reaches past a boundary (or it would have been
    // sent), so `data` reaches it.
    const auto sent = static_cast<std::size_t>(blockEnd - m_written - m_held.size());
    if (!m_file->WriteBoth(m_held.data(), m_held.size(), data, sent)) return false;
    m_held.assign(data + sent, data + size);
    m_written = blockEnd;
    return true;
}

Copied BlockAlignedWriter::CopyFrom(File& source, std::size_t size) {
    if (!m_held.empty()) {
        if (!m_file->Write(m_held.data(), m_held.size())) return Copied::WriteFailed();
        m_written += m_held.size();
        m_held.clear();
    }
    const Copied copied = m_file->CopyFrom(source, size);
    m_written += copied.bytes;
    return copied;
}

bool BlockAlignedWriter::Finish() {
    if (!m_file->Write(m_held.data(), m_held.size())) return false;
    m_held.clear();
    return true;
}

}  // namespace varnel
