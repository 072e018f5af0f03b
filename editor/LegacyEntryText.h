// A settings entry written in a legacy single-byte code page. The program's
// narrow strings are UTF-8 (its manifest), and the profile functions read a
// file without a byte-order mark in that code page, so an entry saved by an
// older program or by hand in, say, Windows-1252 comes back with its accented
// letters lost. Such an entry is read again from the file's own bytes in the
// system's legacy ANSI code page.
#pragma once

#include <optional>
#include <string>

namespace varnel {

// The entry `key` of `section` in `iniFile` as UTF-8, when its bytes in the
// file are not valid UTF-8 and the profile functions returned them as
// `profileValue` (with replacement characters); nullopt otherwise, when the
// profile functions' value stands.
std::optional<std::string> LegacyEntryText(const std::string& iniFile, const std::string& section,
                                           const std::string& key, const std::string& profileValue);

}  // namespace varnel
