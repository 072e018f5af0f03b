#include "SettingsPath.h"

namespace varnel {

std::string WithoutExtension(const std::string& programPath) {
    const std::size_t nameStart = programPath.find_last_of("\\/:");
    const std::size_t dot = programPath.rfind('.');
    if (dot == std::string::npos) return programPath;
    if (nameStart != std::string::npos && dot < nameStart) return programPath;
    return programPath.substr(0, dot);
}

std::string SettingsPathFor(const std::string& programPath) { return WithoutExtension(programPath) + ".ini"; }

}  // namespace varnel
