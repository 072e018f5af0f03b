// What reads untrusted bytes, driven by arbitrary input: the WAV header
// reader (a file's first bytes), the command line (any words) and the JSON
// writer (any name). Each target checks what must hold for every input and
// aborts when it does not, which libFuzzer reports as a crash and the
// corpus replay test as a failure. `make fuzz` runs them under libFuzzer
// (clang); the ordinary build replays their corpora in fuzz/corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnel::fuzz {

// The bytes are a file: RIFF/WAVE's first 12, then its chunks.
void FuzzWavHeader(const std::uint8_t* data, std::size_t size);

// The bytes are the words of a command line, each ended by a NUL.
void FuzzCommandLine(const std::uint8_t* data, std::size_t size);

// The bytes are a file's name, given to the JSON report and to a message.
void FuzzJsonText(const std::uint8_t* data, std::size_t size);

}  // namespace varnel::fuzz
