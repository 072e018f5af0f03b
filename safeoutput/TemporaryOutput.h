// The file a run writes before it is put in place over OUTPUT. Where the
// system allows, it is one the system removes by itself should the program
// die before it is put in place (killed, crashed, the power cut): on Linux
// an unnamed file (O_TMPFILE) in OUTPUT's folder, given a name only then; on
// Windows a file marked for deletion until then. Where the file system
// refuses that, it is a hidden file beside OUTPUT, which the program removes
// on failure and on Ctrl-C.
#pragma once

#include <string>

#include "processing/File.h"

// Each platform keeps its own state of the file.
#ifdef _WIN32
#include "safeoutput/TemporaryOutput_win.h"
#else
#include "safeoutput/TemporaryOutput_posix.h"
#endif

namespace varnel::safeoutput {

class TemporaryOutput {
public:
    TemporaryOutput() = default;
    ~TemporaryOutput() { Discard(); }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // Creates the file in the folder of `target` and opens `output` on it
    // for writing. On failure fills `failure` and leaves nothing behind.
    bool Create(const std::string& target, File& output, FileFailure& failure);
    // Once `output` is closed: puts the file in place as `target`, keeping
    // an existing target's permissions, and its owner where the system
    // allows. On false `target` is as it was, the file is gone and
    // `failure` says why.
    bool PutInPlace(const std::string& target, FileFailure& failure);
    // Removes the file, unless it was put in place.
    void Discard();

    // Its name, or "" while it has none (an unnamed file) or is gone.
    const std::string& Path() const { return m_path; }

private:
    // A new named file beside `target`, removed if the program is interrupted.
    bool CreateNamed(const std::string& target, File& output, FileFailure& failure);

    std::string m_path;
    SystemTemporary m_system;
};

// A new name of our own in the folder of `target`, hidden on POSIX and
// unlikely ever to be taken (64 random bits). It is short whatever the
// target's name, so that any name the file system takes works as OUTPUT.
std::string TemporaryNameBeside(const std::string& target);

// Moves `from` over `to` in one step, keeping `to`'s permissions (and owner,
// where allowed) when it exists. On false fills `failure`.
bool ReplaceWith(const std::string& from, const std::string& to, FileFailure& failure);

}  // namespace varnel::safeoutput
