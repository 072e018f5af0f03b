#include "app/SettingsPath.h"

namespace varnel {

std::string SettingsPathFor(const std::string& programPath) {
    const std::size_t nameStart = programPath.find_last_of("\\/:");
    const std::size_t dot = programPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + ".ini";
}

}  // namespace varnel
