// The stand-in editor (EditorStandIn.cpp) for the tests that start an
// editor: where it is, copies of it under other names, and the command lines
// it recorded.
#pragma once

#include <string>
#include <vector>

namespace varnel::test {

// The stand-in program, built beside the running test program.
std::string StandInPath();
// Whether the system still keeps process `id`: while anyone holds a handle
// to it, even once it has ended. Waits (at most half a minute) for it to go.
bool ProcessObjectOutlives(unsigned long id);
// Copies the stand-in to `path` (its folder must exist). False on failure.
bool CopyStandIn(const std::string& path);

// While it lives, every stand-in started from this process (the child gets
// this environment) records its command line in `folder`.
class StandInRecording {
public:
    explicit StandInRecording(std::string folder);
    ~StandInRecording();
    StandInRecording(const StandInRecording&) = delete;
    StandInRecording& operator=(const StandInRecording&) = delete;

    // The command lines recorded so far, in no particular order.
    std::vector<std::string> CommandLines() const;
    // Waits (at most half a minute, since the editor is not waited for by
    // the program) until `count` command lines are recorded; returns them.
    std::vector<std::string> WaitForCommandLines(std::size_t count) const;
    // The process ids of the stand-ins that recorded so far.
    std::vector<unsigned long> ProcessIds() const;

private:
    std::string m_folder;
};

}  // namespace varnel::test
