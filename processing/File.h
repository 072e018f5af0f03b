// A file on disk for a processing run, opened for exclusive access: while a
// run holds a file, a second open of the same file fails with
// `sharingViolation`, so naming one file twice is refused rather than
// corrupting it. On Windows the system enforces this (share mode 0); on POSIX
// the class does it by file identity (device and inode).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "fastio/ByteStream.h"
#include "processing/FileFailure.h"

// Each platform keeps its own state of an open file.
#ifdef _WIN32
#include "processing/File_win.h"
#else
#include "processing/File_posix.h"
#endif

namespace varnel {

// No single write to a file is larger than this: on Linux the time of a
// 2 MiB write to the page cache swings widely (0.10 to 0.47 s for 256 MiB
// written in 2 MiB pieces, against a steady 0.10 s in pieces of 1 MiB), most
// likely from the kernel taking 2 MiB folios for it.
constexpr std::size_t kMostBytesPerWrite = std::size_t{1} << 20;

class File final : public ByteSource, public GatheringSink {
public:
    enum class Mode {
        Read,           // an existing file, read only
        ReadShared,     // as Read, but other ReadShared opens of the file are allowed
        CreateWrite,    // created, or truncated when it exists; write only
        CreateNew,      // created; fails when the path exists already; write only
        WriteExisting,  // an existing file, write only, neither created nor truncated
    };

    File() = default;
    ~File() override;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // On failure fills `failure` (cause and OS error) and leaves the file closed.
    bool Open(const std::string& path, Mode mode, FileFailure& failure);
    // This process's standard input (read) or output (write), whatever it
    // is: a pipe, a terminal or a file, read or written from where it stands.
    // A file on disk counts from there, as cat and SoX read it: its Length
    // and Seek leave out what stands before (a prefix a shell wrote, the
    // bytes a script read first), which no run may read or overwrite.
    enum class Standard { Input, Output };
    bool OpenStandard(Standard stream, FileFailure& failure);
    bool IsOpen() const;
    // The length in bytes: 0 for a pipe or a device, which have none to
    // measure (IsDiskFile tells them apart); nothing when the file is not
    // open or the system cannot say.
    std::optional<std::uint64_t> Length() const;
    // A file on disk, whose length means something; not a pipe or a device.
    bool IsDiskFile() const;
    // A file on disk whose bytes once written can be written again: not a
    // file opened for appending, where every write lands at the end.
    bool CanRewrite() const;
    // Once a read has met the end of the data, every later read delivers 0
    // without asking the system again: a pipe or a terminal that has ended
    // is not waited on for more (a terminal would wait for another Ctrl-D).
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override;
    // Writes in pieces of at most kMostBytesPerWrite.
    bool Write(const std::uint8_t* data, std::size_t size) override;
    // Where both are files on disk, Linux copies from one to the other in
    // the kernel (through a pipe, by splice), from where each file stands;
    // elsewhere, and where the kernel refuses before it took a byte,
    // NotBySystem. Should the output refuse bytes already taken from the
    // input, they are written as by Write; should that fail too, the copy
    // is WriteFailed, and so is every later write to the file. An input
    // found shorter after a piece than the bytes taken from it makes the
    // copy ReadFailed (endOfFile): the kernel moves references to the
    // input's pages, which a truncation zeroes before they reach the output.
    Copied CopyTo(ByteSink& sink, std::size_t size) override;
    Copied CopyFrom(File& source, std::size_t size) override;
    // Writes `first` and then `second` as one write where the system has
    // such a call (writev) and both fit in kMostBytesPerWrite, so that the
    // file system sees one range of the file, as from Write; elsewhere as two
    // writes.
    bool WriteBoth(const std::uint8_t* first, std::size_t firstSize, const std::uint8_t* second,
                   std::size_t secondSize) override;
    // Where the file stands within a page; 0 for a pipe or a device.
    std::size_t PageOffset() const override;
    // Moves to `offset` bytes from the start (a standard stream's: where it
    // stood when opened), for the next Read or Write (false for a pipe or a
    // device that cannot move).
    bool Seek(std::uint64_t offset);
    // Why the last Read or Write failed.
    const FileFailure& LastFailure() const { return m_lastFailure; }
    // Returns false when the system reports that data written could not be
    // stored, or a copy lost bytes (the failure goes to LastFailure).
    // Closing a closed file is fine.
    bool Close();

private:
    SystemFile m_system;
    std::uint64_t m_start = 0;  // where a standard stream stood when opened; 0 for a file opened by name
    FileFailure m_lastFailure;
    bool m_ended = false;  // a read met the end of the data
};

// The failure a system error code stands for (errno on POSIX, a
// GetLastError() code on Windows), for an operation on `path`.
FileFailure SystemFailure(long error, const std::string& path = {});

// A write that found no room because the file would pass a size limit (the
// process's, or the file system's largest file) rather than a full disk:
// both are `diskFull`, but the user's remedy differs.
bool IsFileSizeLimit(const FileFailure& failure);

}  // namespace varnel
