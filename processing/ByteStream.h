// The two ends the processing functions work between: something to read
// sample bytes from and something to write them to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace varnel {

class ByteSink;
class File;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills `buffer` with up to `size` bytes. Returns how many were delivered:
    // fewer than `size` only at the end of the data, 0 at its end. Returns
    // nothing when the read failed, which is never mistaken for the end.
    virtual std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) = 0;
    // Moves up to `size` bytes into `sink` as Read and the sink's Write
    // would, but with the system copying them from file to file without a
    // trip through this process's memory. Returns how many moved, which may
    // be fewer than `size` before the end; 0 at the end. Returns nothing
    // where the system cannot move them so (a pipe, another file system, ...)
    // or refused halfway: the caller then goes on with Read and Write from
    // where the copy stands, which also finds and names any fault.
    virtual std::optional<std::size_t> CopyTo(ByteSink&, std::size_t) { return std::nullopt; }
    // Where within a page of the file the next byte read stands (0 where
    // that means nothing, as in a pipe): buffers are placed by it.
    virtual std::size_t PageOffset() const { return 0; }
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes, or returns false.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // Takes up to `size` bytes straight from the file `source`, as
    // ByteSource::CopyTo describes; nothing when this sink cannot.
    virtual std::optional<std::size_t> CopyFrom(File&, std::size_t) { return std::nullopt; }
    // Where within a page of the file the next byte written lands.
    virtual std::size_t PageOffset() const { return 0; }
};

// A sink that can take two pieces as one write, so that the file system
// sees one range of the file, as from one Write.
class GatheringSink : public ByteSink {
public:
    virtual bool WriteBoth(const std::uint8_t* first, std::size_t firstSize, const std::uint8_t* second,
                           std::size_t secondSize) = 0;
};

}  // namespace varnel
