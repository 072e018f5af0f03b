// The WAV container, as the command line reads and writes it.
//
// A WAV file is a RIFF file: "RIFF", a 32-bit size, "WAVE", then chunks,
// each an id of four characters, a 32-bit little-endian size and that many
// bytes, followed by a pad byte when the size is odd. The "fmt " chunk
// describes the samples; the "data" chunk holds them. Other chunks (LIST,
// fact, ...) may stand before or after the data and carry nothing we use.
//
// Read: 16-bit PCM only, as format 1 or as WAVE_FORMAT_EXTENSIBLE with the
// PCM sub-format, any rate and channel count; the samples of the data chunk
// are then exactly Varnel's samples (signed 16-bit little-endian, frames of
// one sample per channel). Written: the canonical 44-byte header of format 1
// for one or two channels; for more, WAVE_FORMAT_EXTENSIBLE with a channel
// mask, a 68-byte header, as Microsoft asks of files of more than two
// channels.
// Past 4 GiB the sizes are RF64's (EBU Tech 3306; BW64, ITU-R BS.2088, is the
// same with another first word): "RF64" where "RIFF" stood, the 32-bit sizes
// 0xFFFFFFFF, and a "ds64" chunk first that holds the true ones in 64 bits.
// All fields are decoded and encoded byte by byte, so the code is right on a
// host of either byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fastio/ByteStream.h"

namespace varnel {

struct WavFormat {
    std::uint32_t sampleRate = 0;
    std::uint16_t channels = 0;
    // The speakers of the channels, as WAVE_FORMAT_EXTENSIBLE says (a bit
    // per speaker: 0x3F is 5.1); 0 where nothing says it.
    std::uint32_t channelMask = 0;
};

// The first bytes of a file that say what it is: "RIFF", a 32-bit size and
// the form type.
inline constexpr std::size_t kRiffHeaderBytes = 12;
// Enough of a file's first bytes to find "WAVE" where a text conversion
// moved it.
inline constexpr std::size_t kRiffSniffBytes = 16;

// A file that begins with "RIFF" is taken at its word: raw samples that
// happen to begin so are read only where every input is read raw, rather
// than a RIFF file of some other kind being mixed in as samples.
enum class RiffKind {
    NotRiff,       // anything else: a raw sound file
    Wav,           // "RIFF" .... "WAVE"
    WavRf64,       // "RF64" or "BW64" .... "WAVE": a WAV file of 64-bit sizes
    WavBigEndian,  // "RIFX" .... "WAVE"
    CutShort,      // "RIFF", and the file ends before its form type does
    OtherForm,     // "RIFF" .... and a form type of four characters other than "WAVE": "AVI ", "WEBP", "RMID", ...
    // "RIFF" .... and a form type that is not four printable characters, or
    // "WAVE" a few bytes from its place: a WAV file through a text
    // conversion, which adds or drops a CR before each LF of its sizes.
    Damaged,
};

// What the first `size` bytes of a file (fewer than kRiffSniffBytes only
// when the file is that short) make of it.
RiffKind RiffKindOf(const std::uint8_t* bytes, std::size_t size);

enum class WavProblem {
    None,
    ReadFailed,        // the source failed
    CutShort,          // the file ends before the data chunk's samples begin
    NoFormatChunk,     // the data chunk comes before any "fmt " chunk
    BadFormatChunk,    // too short, no channels, no rate, or a block size that does not fit
    NotPcm,            // `formatTag` names another encoding (float, compressed, ...)
    ExtensibleNotPcm,  // WAVE_FORMAT_EXTENSIBLE with a sub-format other than PCM
    NotSixteenBits,    // PCM of `bitsPerSample` bits
};

struct WavHeader {
    WavProblem problem = WavProblem::None;
    WavFormat format;
    std::uint16_t formatTag = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint64_t dataBytes = 0;    // as the data chunk (or the ds64 chunk for it) claims
    std::uint64_t headerBytes = 0;  // where the samples begin in the file
};

// Reads the chunks of a WAV file from `source`, which has delivered the
// file's first kRiffHeaderBytes bytes (a RiffKind::Wav or, `rf64`, a
// RiffKind::WavRf64 header) and nothing more, up to the first byte of the
// data chunk's samples: `source` is left there when the header is usable.
// Chunks before the data are read through, not sought past, so a pipe works
// as well as a file. In an RF64 file a data size of 0xFFFFFFFF is the ds64
// chunk's; the RIFF size, there as in a WAV file, is not needed.
WavHeader ReadWavHeader(ByteSource& source, bool rf64);

// The most sample bytes a WAV file with the canonical header holds: its
// RIFF size, which counts the 36 header bytes after the first 8, the samples
// and a pad byte after an odd count, is 32 bits. Even, so that the pad byte
// of a count below it always fits.
inline constexpr std::uint64_t kWavMaxDataBytes = 0xFFFFFFFFull - 37;

inline constexpr std::size_t kWavHeaderBytes = 44;
inline constexpr std::size_t kWavExtensibleHeaderBytes = 68;

// The header written for `format`: kWavHeaderBytes up to two channels,
// kWavExtensibleHeaderBytes beyond.
std::size_t WavHeaderSize(WavFormat format);

// Where a header keeps its 64-bit sizes.
enum class WavSizes {
    // Known: the canonical header while the sizes fit in 32 bits, RF64 past them.
    Fitted,
    // To be corrected at the end: a "JUNK" chunk stands where a ds64 chunk
    // fits, as ffmpeg and libsndfile write it, so that the header keeps its
    // length whichever the end needs: plain sizes with the JUNK chunk left
    // in place (every reader skips it), or RF64 with the ds64 chunk there.
    Reserved,
};

// The header of 16-bit PCM for `dataBytes` bytes of samples (an odd count
// is followed in the file by a pad byte, which the RIFF size counts). Past
// two channels the channel mask is the format's, or when it has none
// WavDefaultChannelMask's. Past WavMaxDataBytes it is RF64.
std::vector<std::uint8_t> WavHeaderBytes(WavFormat format, std::uint64_t dataBytes,
                                         WavSizes sizes = WavSizes::Fitted);

// As WavHeaderBytes, RF64 from `rf64From` bytes of samples on: a file made
// RF64 whatever its length, as one whose expected size passed 4 GiB is
// when it comes shorter, or a short one that tests RF64's readers.
std::vector<std::uint8_t> WavHeaderBytesRf64From(WavFormat format, std::uint64_t dataBytes, WavSizes sizes,
                                                 std::uint64_t rf64From);

// A ds64 chunk as written, or the JUNK chunk that keeps its place: 28 bytes and their 8.
inline constexpr std::size_t kDs64ChunkBytes = 36;

// The most sample bytes a WAV file written for `format` holds with 32-bit
// sizes (even); past them it is written as RF64.
inline std::uint64_t WavMaxDataBytes(WavFormat format, WavSizes sizes = WavSizes::Fitted) {
    const std::size_t header = WavHeaderSize(format) + (sizes == WavSizes::Reserved ? kDs64ChunkBytes : 0);
    return 0xFFFFFFFFull - (header - 8) - 1;
}

// The header of a WAV stream whose length is not known when it begins: the
// RIFF and data sizes are 0xFFFFFFFF, as ffmpeg writes to a pipe, and
// readers take the samples to the end of the stream.
std::vector<std::uint8_t> StreamingWavHeaderBytes(WavFormat format);

// The speakers Microsoft names for a count of channels: 0x33 (quad) for 4,
// 0x3F (5.1) for 6, 0x63F (7.1) for 8, as SoX writes them too; 0, channels
// not assigned to speakers, for the other counts past two.
std::uint32_t WavDefaultChannelMask(std::uint16_t channels);

// Bytes per second of 16-bit samples; over 32 bits it cannot be written.
inline std::uint64_t WavByteRate(WavFormat format) { return std::uint64_t{format.sampleRate} * format.channels * 2; }

}  // namespace varnel
