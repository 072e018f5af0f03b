// What a drop on a path field shows: the rules, apart from the shell.
//
// A field takes the first dropped name, follows it to its target when it is
// a shell shortcut, and shows the resulting path only when it names an
// existing object of the kind the field takes (regular files, or
// directories). Anything else leaves the field as it was. The shell's
// services come in as functions, so the rules can be driven with any
// answers.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace varnel {

enum class PathKind { Missing, Directory, RegularFile, Other };

// The kind named by a file-status mode. The directory bit is looked at
// before the regular-file bit.
PathKind KindOfMode(unsigned mode);

struct DropServices {
    // The target stored in the shortcut file at a path, or "" when the path
    // is not a readable shortcut or has no file-system target.
    std::function<std::string(const std::string&)> expandShortcut;
    // What exists at a path.
    std::function<PathKind(const std::string&)> kindOf;
};

// The path to show for a drop whose first name is `dropped` ("" when no name
// could be read), or nothing when the field stays unchanged.
std::optional<std::string> PathToShow(const std::string& dropped, bool acceptDirectories, const DropServices& services);

}  // namespace varnel
