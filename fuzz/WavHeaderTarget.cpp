#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz/FuzzTargets.h"
#include "fuzz/Require.h"
#include "processing/WavFormat.h"

namespace varnel::fuzz {
namespace {

// A file in memory, read as a pipe is: in pieces, never sought.
class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, m_size - m_at);
        if (count > 0) std::memcpy(buffer, m_data + m_at, count);
        m_at += count;
        return count;
    }
    std::size_t Position() const { return m_at; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

}  // namespace

void FuzzWavHeader(const std::uint8_t* data, std::size_t size) {
    const std::size_t first = std::min(size, kRiffHeaderBytes);
    const RiffKind kind = RiffKindOf(data, first);
    if (kind != RiffKind::Wav && kind != RiffKind::WavRf64) return;
    MemorySource source(data + first, size - first);
    const WavHeader header = ReadWavHeader(source, kind == RiffKind::WavRf64);
    Require(header.problem != WavProblem::ReadFailed, "a source that never fails is never a failed read");
    if (header.problem != WavProblem::None) return;
    Require(header.headerBytes == first + source.Position(), "the source is left where the samples begin");
    Require(header.headerBytes <= size, "the samples begin within the file");
    Require(header.format.channels > 0 && header.format.sampleRate > 0, "a usable format has channels and a rate");

    // What the writer makes of the format reads back as it was, in the
    // canonical or extensible header its channels take, and as RF64.
    const std::uint64_t dataBytes = header.dataBytes & ~std::uint64_t{1};
    if (dataBytes > WavMaxDataBytes(header.format) || WavByteRate(header.format) > 0xFFFFFFFFu) return;
    for (const std::uint64_t rf64From : {dataBytes + 1, std::uint64_t{0}}) {
        const bool rf64 = rf64From == 0;
        const auto written = WavHeaderBytesRf64From(header.format, dataBytes, WavSizes::Fitted, rf64From);
        const RiffKind writtenKind = RiffKindOf(written.data(), kRiffHeaderBytes);
        Require(writtenKind == (rf64 ? RiffKind::WavRf64 : RiffKind::Wav), "a written header is WAV, or RF64");
        MemorySource again(written.data() + kRiffHeaderBytes, written.size() - kRiffHeaderBytes);
        const WavHeader reread = ReadWavHeader(again, rf64);
        Require(reread.problem == WavProblem::None && reread.format.sampleRate == header.format.sampleRate &&
                    reread.format.channels == header.format.channels && reread.dataBytes == dataBytes &&
                    reread.headerBytes == written.size() &&
                    written.size() == WavHeaderSize(header.format) + (rf64 ? kDs64ChunkBytes : 0),
                "a written header reads back as written");
    }
}

}  // namespace varnel::fuzz
