// Sound files of other containers than WAV, told by their first bytes, so
// that their headers and encoded (often big-endian) bytes are never mixed
// into a run as if they were 16-bit samples. Only signatures that no
// plausible raw sound starts with are taken: a raw file of 16-bit samples
// that happens to begin so is still read with --raw.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel {

enum class ForeignContainer {
    None,    // none of these
    Aiff,    // "FORM" .... "AIFF"
    AiffC,   // "FORM" .... "AIFC", AIFF with compression (or little-endian "sowt")
    SunAu,   // ".snd": Sun/NeXT audio
    Flac,    // "fLaC"
    Ogg,     // "OggS": Vorbis, Opus, FLAC in Ogg pages
    Caf,     // "caff": Apple's Core Audio Format
    Wave64,  // Sony's 64-bit WAV: its "riff" chunk's GUID
    Mp3,     // "ID3": an ID3v2 tag, which leads MP3 files
};

// Enough of a file's first bytes to tell every container above.
inline constexpr std::size_t kForeignContainerSniffBytes = 16;

// What the first `size` bytes of a file say it is (fewer than
// kForeignContainerSniffBytes only when the file is that short).
ForeignContainer ForeignContainerOf(const std::uint8_t* bytes, std::size_t size);

}  // namespace varnel
