// WAV files made byte by byte, apart from the program's own header code, so
// that a fault there cannot hide in the tests' inputs too.
#pragma once

#include <cstdint>

#include "support/TempFolder.h"

namespace varnel::test {

inline void PutLittleEndian(Bytes& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct WavShape {
    std::uint32_t rate = 22050;
    std::uint16_t channels = 1;
    std::uint16_t bits = 16;
    std::uint16_t formatTag = 1;  // PCM
    bool listChunkFirst = false;  // a LIST chunk between "fmt " and "data", as editors write
};

// A RIFF/WAVE file of `samples` (the data chunk's bytes), claiming `dataBytes`
// for them (their size by default).
inline Bytes WavBytes(const Bytes& samples, WavShape shape = {}, std::int64_t dataBytes = -1) {
    const std::uint32_t claimed =
        dataBytes < 0 ? static_cast<std::uint32_t>(samples.size()) : static_cast<std::uint32_t>(dataBytes);
    Bytes chunks;
    chunks.insert(chunks.end(), {'f', 'm', 't', ' '});
    PutLittleEndian(chunks, 16, 4);
    PutLittleEndian(chunks, shape.formatTag, 2);
    PutLittleEndian(chunks, shape.channels, 2);
    PutLittleEndian(chunks, shape.rate, 4);
    PutLittleEndian(chunks, shape.rate * shape.channels * shape.bits / 8, 4);
    PutLittleEndian(chunks, shape.channels * shape.bits / 8u, 2);
    PutLittleEndian(chunks, shape.bits, 2);
    if (shape.listChunkFirst) {
        chunks.insert(chunks.end(), {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0});
    }
    chunks.insert(chunks.end(), {'d', 'a', 't', 'a'});
    PutLittleEndian(chunks, claimed, 4);
    chunks.insert(chunks.end(), samples.begin(), samples.end());
    Bytes file{'R', 'I', 'F', 'F'};
    PutLittleEndian(file, static_cast<std::uint32_t>(4 + chunks.size() - samples.size() + claimed), 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

}  // namespace varnel::test
