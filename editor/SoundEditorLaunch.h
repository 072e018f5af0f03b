// Starting the sound editor on the output file: the editor's command line,
// and the start of its process, which runs on its own (nobody waits for it).
#pragma once

#include <string>

namespace varnel {

// The editor's command line: the program in quotes, one blank, the output
// file in quotes, so that the editor gets exactly one argument.
std::string EditorCommandLine(const std::string& quote, const std::string& space, const std::string& program,
                              const std::string& outputFile);

// Starts `commandLine` as a process of its own, with this program's
// environment and current folder; the program is the first, quoted, token.
// False when the system refuses (no such program, not a program, no access).
bool StartSoundEditor(const std::string& commandLine);

}  // namespace varnel
