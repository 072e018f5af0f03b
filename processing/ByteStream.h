// The two ends the processing functions work between: something to read
// sample bytes from and something to write them to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace varnel {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills `buffer` with up to `size` bytes. Returns how many were delivered:
    // fewer than `size` only at the end of the data, 0 at its end. Returns
    // nothing when the read failed, which is never mistaken for the end.
    virtual std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes, or returns false.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
};

// A sink that can take two pieces as one write, so that the file system
// sees one range of the file, as from one Write.
class GatheringSink : public ByteSink {
public:
    virtual bool WriteBoth(const std::uint8_t* first, std::size_t firstSize, const std::uint8_t* second,
                           std::size_t secondSize) = 0;
};

}  // namespace varnel
