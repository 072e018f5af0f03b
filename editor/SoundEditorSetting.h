// The sound editor entry of the settings file: section "execution", key
// "program", holding the editor's program path or the sentinel that says no
// editor is chosen.
#pragma once

#include <string>

namespace varnel {

// The sentinel; recognised only by exact, case-sensitive equality.
inline constexpr char kNoSoundProgram[] = "No Sound Program Selected";

// What a read gives when the settings file or its entry is missing. It is
// not the sentinel: it is taken for a program name, whose start fails.
inline constexpr char kNoSuchProgram[] = "No Such Program";

// The entry "program" of section "execution", however long it is; an entry
// with an empty value reads as "". An entry saved in the system's legacy
// code page rather than UTF-8 is read in that code page.
std::string ReadSoundEditorSetting(const std::string& iniFile);

// Writes `program` as the entry, creating the file and section when they
// are missing and leaving the rest of the file alone. A failure to write is
// not reported: the next read then finds no entry.
void WriteSoundEditorSetting(const std::string& iniFile, const std::string& program);

}  // namespace varnel
