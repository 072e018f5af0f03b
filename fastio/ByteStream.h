// The two ends the processing functions work between: something to read
// sample bytes from and something to write them to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace varnel {

class ByteSink;
class File;

// How a copy that the system makes from file to file went
// (ByteSource::CopyTo). That the system cannot make it and that it failed
// are two answers: the first is met by reading and writing instead, the
// second ends the run.
struct Copied {
    enum class Outcome {
        Moved,        // `bytes` moved; 0 where the input seems to end, which only a read of it confirms
        NotBySystem,  // nothing was taken from the input: reads and writes go on from where it stands
        ReadFailed,   // the input failed, or was cut short under bytes already taken: its LastFailure says why
        WriteFailed,  // the output refused bytes already taken from the input: its LastFailure says why
    };
    Outcome outcome = Outcome::NotBySystem;
    std::size_t bytes = 0;  // Moved only

    static Copied Moved(std::size_t bytes) { return {Outcome::Moved, bytes}; }
    static Copied NotBySystem() { return {Outcome::NotBySystem, 0}; }
    static Copied ReadFailed() { return {Outcome::ReadFailed, 0}; }
    static Copied WriteFailed() { return {Outcome::WriteFailed, 0}; }
    friend bool operator==(const Copied&, const Copied&) = default;
};

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills `buffer` with up to `size` bytes. Returns how many were delivered:
    // fewer than `size` only at the end of the data, 0 at its end. Returns
    // nothing when the read failed, which is never mistaken for the end.
    virtual std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) = 0;
    // Moves up to `size` bytes into `sink` as Read and the sink's Write
    // would, but with the system copying them from file to file without a
    // trip through this process's memory. Moved may be fewer than `size`
    // before the end. NotBySystem where the system cannot move them so (a
    // pipe, another file system, ...): the caller then goes on with Read and
    // Write from where the copy stands, which also finds and names any fault.
    virtual Copied CopyTo(ByteSink&, std::size_t) { return Copied::NotBySystem(); }
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
    // ByteSource::CopyTo describes; NotBySystem when this sink cannot.
    virtual Copied CopyFrom(File&, std::size_t) { return Copied::NotBySystem(); }
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
