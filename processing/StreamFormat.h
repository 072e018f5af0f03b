// What each file of a run is, as the summary names it: raw samples, WAV or RF64,
// and the rate and channels where they are known.
#pragma once

#include <cstdint>

namespace varnel {

struct StreamFormat {
    bool wav = false;
    std::uint32_t sampleRate = 0;  // 0: not known (raw files without --rate)
    std::uint16_t channels = 0;    // 0: not known
    // A WAV input whose data chunk claims more bytes than the file holds (a
    // recording cut short): it was read to the end of the file.
    bool cutShort = false;
    std::uint64_t claimedBytes = 0;
    std::uint32_t channelMask = 0;  // a WAV file's speakers, where it names them
    bool rf64 = false;              // a WAV file of 64-bit sizes: RF64 (or, read, BW64)
};

}  // namespace varnel
