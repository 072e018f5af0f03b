#include "processing/ForeignContainer.h"

#include <cstring>

namespace varnel {
namespace {

bool StartsWith(const std::uint8_t* bytes, std::size_t size, const void* signature, std::size_t length) {
    return size >= length && std::memcmp(bytes, signature, length) == 0;
}

// The GUID of a Wave64 file's first chunk, 66666972-912E-11CF-A5D6-28DB04C10000,
// as the file stores it: "riff" and then the rest of the GUID.
constexpr std::uint8_t kWave64Riff[16] = {'r',  'i',  'f',  'f',  0x2E, 0x91, 0xCF, 0x11,
                                          0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};

}  // namespace

ForeignContainer ForeignContainerOf(const std::uint8_t* bytes, std::size_t size) {
    if (StartsWith(bytes, size, "FORM", 4) && size >= 12) {
        if (std::memcmp(bytes + 8, "AIFF", 4) == 0) return ForeignContainer::Aiff;
        if (std::memcmp(bytes + 8, "AIFC", 4) == 0) return ForeignContainer::AiffC;
    }
    if (StartsWith(bytes, size, ".snd", 4)) return ForeignContainer::SunAu;
    if (StartsWith(bytes, size, "fLaC", 4)) return ForeignContainer::Flac;
    if (StartsWith(bytes, size, "OggS", 4)) return ForeignContainer::Ogg;
    if (StartsWith(bytes, size, "caff", 4)) return ForeignContainer::Caf;
    if (StartsWith(bytes, size, kWave64Riff, sizeof kWave64Riff)) return ForeignContainer::Wave64;
    // "ID3", then a version byte of 2 to 4 and a revision byte below 0xFF.
    if (StartsWith(bytes, size, "ID3", 3) && size >= 5 && bytes[3] >= 2 && bytes[3] <= 4 && bytes[4] != 0xFF)
        return ForeignContainer::Mp3;
    return ForeignContainer::None;
}

}  // namespace varnel
