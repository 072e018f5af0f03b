// Starting the sound editor on the output file: the settings entry read
// whole, the editor's command line, and the start of its process, which
// runs on its own (nobody waits for it).
#pragma once

#include <string>

namespace varnel {

// What a read gives when the settings file or its entry is missing. It is
// not the sentinel: it is taken for a program name, whose start fails.
inline constexpr char kNoSuchProgram[] = "No Such Program";

// The entry "program" of section "execution", however long it is; an entry
// with an empty value reads as "".
std::string ReadSoundEditorSetting(const std::string& iniFile);

// The editor's command line: the program in quotes, one blank, the output
// file in quotes, so that the editor gets exactly one argument.
std::string EditorCommandLine(const std::string& quote, const std::string& space, const std::string& program,
                              const std::string& outputFile);

// Starts `commandLine` as a process of its own, with this program's
// environment and current folder; the program is the first, quoted, token.
// False when the system refuses (no such program, not a program, no access).
bool StartSoundEditor(const std::string& commandLine);

}  // namespace varnel
