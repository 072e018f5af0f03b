#include "processing/WavFormat.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace varnel {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::size_t kPlainFormatBytes = 16;
constexpr std::size_t kExtensibleFormatBytes = 40;
// The RIFF size, the data size and the sample count, 64 bits each, and the
// length of a table of other chunks' sizes (none here).
constexpr std::size_t kDs64Bytes = 28;
// The ds64 chunk's data size, behind its RIFF size.
constexpr std::size_t kDs64DataSizeAt = 8;
constexpr std::uint32_t kSizeInDs64 = 0xFFFFFFFFu;
// KSDATAFORMAT_SUBTYPE_PCM, 00000001-0000-0010-8000-00aa00389b71, as a
// GUID is stored: its first three fields little-endian.
constexpr std::uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t Load16(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8); }

std::uint32_t Load32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

std::uint64_t Load64(const std::uint8_t* bytes) {
    return std::uint64_t{Load32(bytes)} | std::uint64_t{Load32(bytes + 4)} << 32;
}

void Store16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

void Store32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Store64(std::uint8_t* bytes, std::uint64_t value) {
    Store32(bytes, static_cast<std::uint32_t>(value));
    Store32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
}

bool IdIs(const std::uint8_t* bytes, const char* id) { return std::memcmp(bytes, id, 4) == 0; }

// Fills `buffer` completely, or says why not.
WavProblem ReadExactly(ByteSource& source, std::uint8_t* buffer, std::size_t size) {
    const auto got = source.Read(buffer, size);
    if (!got) return WavProblem::ReadFailed;
    return *got == size ? WavProblem::None : WavProblem::CutShort;
}

// Reads past `count` bytes. Chunks before the data are small in practice
// (tags, cue points), so reading them costs nothing and keeps pipes working.
WavProblem Skip(ByteSource& source, std::uint64_t count) {
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(std::min<std::uint64_t>(count, 64 * 1024)));
    while (count > 0) {
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(count, scratch.size()));
        if (const WavProblem problem = ReadExactly(source, scratch.data(), size); problem != WavProblem::None) {
            return problem;
        }
        count -= size;
    }
    return WavProblem::None;
}

// Judges a "fmt " chunk of `size` bytes, of which `body` holds the first
// min(size, kExtensibleFormatBytes).
void JudgeFormat(const std::uint8_t* body, std::uint32_t size, WavHeader& header) {
    if (size < kPlainFormatBytes) {
        header.problem = WavProblem::BadFormatChunk;
        return;
    }
    header.formatTag = Load16(body);
    header.format.channels = Load16(body + 2);
    header.format.sampleRate = Load32(body + 4);
    const std::uint16_t blockAlign = Load16(body + 12);
    header.bitsPerSample = Load16(body + 14);
    if (header.formatTag == kFormatExtensible) {
        if (size < kExtensibleFormatBytes) {
            header.problem = WavProblem::BadFormatChunk;
            return;
        }
        if (std::memcmp(body + 24, kPcmSubFormat, sizeof kPcmSubFormat) != 0) {
            header.problem = WavProblem::ExtensibleNotPcm;
            return;
        }
        header.format.channelMask = Load32(body + 20);
    } else if (header.formatTag != kFormatPcm) {
        header.problem = WavProblem::NotPcm;
        return;
    }
    if (header.bitsPerSample != 16) {
        header.problem = WavProblem::NotSixteenBits;
        return;
    }
    if (header.format.channels == 0 || header.format.sampleRate == 0 ||
        blockAlign != std::uint32_t{header.format.channels} * 2) {
        header.problem = WavProblem::BadFormatChunk;
    }
}

}  // namespace

RiffKind RiffKindOf(const std::uint8_t* bytes, std::size_t size) {
    if (size >= kRiffHeaderBytes && IdIs(bytes + 8, "WAVE")) {
        if (IdIs(bytes, "RIFF")) return RiffKind::Wav;
        if (IdIs(bytes, "RF64") || IdIs(bytes, "BW64")) return RiffKind::WavRf64;
        if (IdIs(bytes, "RIFX")) return RiffKind::WavBigEndian;
    }
    if (size < 4 || !IdIs(bytes, "RIFF")) return RiffKind::NotRiff;
    if (size < kRiffHeaderBytes) return RiffKind::CutShort;
    const bool printable = std::all_of(bytes + 8, bytes + 12, [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
    // The size before the form type has four bytes, each of which a text
    // conversion may turn into two, or a CR and LF of them into one.
    for (std::size_t at = 6; at + 4 <= std::min(size, kRiffSniffBytes); ++at) {
        if (at != 8 && IdIs(bytes + at, "WAVE")) return RiffKind::Damaged;
    }
    return printable ? RiffKind::OtherForm : RiffKind::Damaged;
}

WavHeader ReadWavHeader(ByteSource& source, bool rf64) {
    WavHeader header;
    header.headerBytes = kRiffHeaderBytes;
    bool haveFormat = false;
    // Where an RF64 file has no ds64 chunk, or one too short to say, its
    // 32-bit data size is taken at its word, as a WAV file's.
    std::optional<std::uint64_t> ds64DataBytes;
    while (true) {
        std::uint8_t chunk[8];
        header.problem = ReadExactly(source, chunk, sizeof chunk);
        if (header.problem != WavProblem::None) return header;
        header.headerBytes += sizeof chunk;
        const std::uint32_t size = Load32(chunk + 4);
        if (IdIs(chunk, "data")) {
            if (!haveFormat) header.problem = WavProblem::NoFormatChunk;
            header.dataBytes = size == kSizeInDs64 && ds64DataBytes ? *ds64DataBytes : size;
            return header;
        }
        // Every chunk is followed by a pad byte when its size is odd.
        std::uint64_t rest = std::uint64_t{size} + (size & 1);
        if (IdIs(chunk, "fmt ")) {
            std::uint8_t body[kExtensibleFormatBytes] = {};
            const std::size_t kept = std::min<std::size_t>(size, sizeof body);
            header.problem = ReadExactly(source, body, kept);
            if (header.problem != WavProblem::None) return header;
            JudgeFormat(body, size, header);
            if (header.problem != WavProblem::None) return header;
            haveFormat = true;
            rest -= kept;
        } else if (rf64 && IdIs(chunk, "ds64") && size >= kDs64DataSizeAt + 8) {
            std::uint8_t body[kDs64DataSizeAt + 8];
            header.problem = ReadExactly(source, body, sizeof body);
            if (header.problem != WavProblem::None) return header;
            ds64DataBytes = Load64(body + kDs64DataSizeAt);
            rest -= sizeof body;
        }
        header.problem = Skip(source, rest);
        if (header.problem != WavProblem::None) return header;
        header.headerBytes += std::uint64_t{size} + (size & 1);
    }
}

namespace {

// The header with the sizes as given: the RIFF size counts everything after
// its own 8 bytes. `room` is the chunk that stands between "WAVE" and
// "fmt ": none, a JUNK chunk, or a ds64 chunk with the 64-bit sizes.
enum class Room { None, Junk, Ds64 };
struct Sizes {
    std::uint64_t riff = 0;
    std::uint64_t data = 0;
    std::uint64_t frames = 0;
};

std::vector<std::uint8_t> HeaderWithSizes(WavFormat format, Room room, Sizes sizes) {
    const bool extensible = format.channels > 2;
    std::vector<std::uint8_t> header(WavHeaderSize(format) + (room == Room::None ? 0 : kDs64ChunkBytes));
    std::uint8_t* bytes = header.data();
    const bool inDs64 = room == Room::Ds64;
    std::memcpy(bytes, inDs64 ? "RF64" : "RIFF", 4);
    Store32(bytes + 4, inDs64 ? kSizeInDs64 : static_cast<std::uint32_t>(sizes.riff));
    std::memcpy(bytes + 8, "WAVE", 4);
    bytes += kRiffHeaderBytes;
    if (room != Room::None) {
        // A JUNK chunk's bytes are zeros.
        std::memcpy(bytes, inDs64 ? "ds64" : "JUNK", 4);
        Store32(bytes + 4, kDs64Bytes);
        if (inDs64) {
            Store64(bytes + 8, sizes.riff);
            Store64(bytes + 8 + kDs64DataSizeAt, sizes.data);
            Store64(bytes + 24, sizes.frames);
        }
        bytes += kDs64ChunkBytes;
    }
    std::memcpy(bytes, "fmt ", 4);
    Store32(bytes + 4, extensible ? kExtensibleFormatBytes : kPlainFormatBytes);
    Store16(bytes + 8, extensible ? kFormatExtensible : kFormatPcm);
    Store16(bytes + 10, format.channels);
    Store32(bytes + 12, format.sampleRate);
    Store32(bytes + 16, static_cast<std::uint32_t>(WavByteRate(format)));
    Store16(bytes + 20, static_cast<std::uint16_t>(format.channels * 2));
    Store16(bytes + 22, 16);
    std::uint8_t* data = bytes + 24;
    if (extensible) {
        Store16(bytes + 24, 22);  // the bytes of the extension that follow
        Store16(bytes + 26, 16);  // valid bits per sample: all of them
        Store32(bytes + 28, format.channelMask ? format.channelMask : WavDefaultChannelMask(format.channels));
        std::memcpy(bytes + 32, kPcmSubFormat, sizeof kPcmSubFormat);
        data = bytes + 48;
    }
    std::memcpy(data, "data", 4);
    Store32(data + 4, inDs64 ? kSizeInDs64 : static_cast<std::uint32_t>(sizes.data));
    return header;
}

}  // namespace

std::size_t WavHeaderSize(WavFormat format) {
    return format.channels > 2 ? kWavExtensibleHeaderBytes : kWavHeaderBytes;
}

std::vector<std::uint8_t> WavHeaderBytes(WavFormat format, std::uint64_t dataBytes, WavSizes sizes) {
    return WavHeaderBytesRf64From(format, dataBytes, sizes, WavMaxDataBytes(format, sizes) + 1);
}

std::vector<std::uint8_t> WavHeaderBytesRf64From(WavFormat format, std::uint64_t dataBytes, WavSizes sizes,
                                                 std::uint64_t rf64From) {
    const bool rf64 = dataBytes >= rf64From;
    const Room room = rf64 ? Room::Ds64 : sizes == WavSizes::Reserved ? Room::Junk : Room::None;
    const std::uint64_t headerBytes = WavHeaderSize(format) + (room == Room::None ? 0 : kDs64ChunkBytes);
    const std::uint64_t data = rf64 ? dataBytes : std::min(dataBytes, WavMaxDataBytes(format, sizes));
    return HeaderWithSizes(format, room, {headerBytes - 8 + data + (data & 1), data, data / (2 * format.channels)});
}

std::vector<std::uint8_t> StreamingWavHeaderBytes(WavFormat format) {
    return HeaderWithSizes(format, Room::None, {0xFFFFFFFFu, 0xFFFFFFFFu, 0});
}

std::uint32_t WavDefaultChannelMask(std::uint16_t channels) {
    switch (channels) {
    case 4: return 0x33;   // front left and right, back left and right
    case 6: return 0x3F;   // front left, right, centre, low frequency, back left, right
    case 8: return 0x63F;  // 5.1 and side left, right
    default: return 0;
    }
}

}  // namespace varnel
