// The sound editor entry of the settings file: section "execution", key
// "program", holding the editor's program path or the sentinel that says no
// editor is chosen.
#pragma once

#include <string>

namespace varnel {

// The sentinel; recognised only by exact, case-sensitive equality.
inline constexpr char kNoSoundProgram[] = "No Sound Program Selected";

// Writes `program` as the entry, creating the file and section when they
// are missing and leaving the rest of the file alone. A failure to write is
// not reported: the next read then finds no entry.
void WriteSoundEditorSetting(const std::string& iniFile, const std::string& program);

}  // namespace varnel
