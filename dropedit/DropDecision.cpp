#include "dropedit/DropDecision.h"

namespace varnel {

namespace {
constexpr unsigned kModeDirectory = 0x4000;    // _S_IFDIR
constexpr unsigned kModeRegularFile = 0x8000;  // _S_IFREG
}  // namespace

PathKind KindOfMode(unsigned mode) {
    if (mode & kModeDirectory) return PathKind::Directory;
    if (mode & kModeRegularFile) return PathKind::RegularFile;
    return PathKind::Other;
}

std::optional<std::string> PathToShow(const std::string& dropped, bool acceptDirectories,
                                      const DropServices& services) {
    if (dropped.empty()) return std::nullopt;

    // Every dropped path is tried as a shortcut, whatever its name: one that
    // is not a shortcut comes back as "", and the path stands for itself.
    std::string path = services.expandShortcut(dropped);
    if (path.empty()) path = dropped;

    switch (services.kindOf(path)) {
    case PathKind::Directory:
        if (acceptDirectories) return path;
        return std::nullopt;
    case PathKind::RegularFile:
        if (!acceptDirectories) return path;
        return std::nullopt;
    case PathKind::Missing:
    case PathKind::Other: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace varnel
