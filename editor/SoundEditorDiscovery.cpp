#include "editor/SoundEditorDiscovery.h"

#include <windows.h>

#include <optional>

#include "base/Owned.h"
#include "editor/SoundEditorSetting.h"

namespace varnel {
namespace {

using base::RegistryKey;

// Opens `name` under `parent` for reading, in one view of the registry.
bool OpenForReading(HKEY parent, const char* name, REGSAM view, RegistryKey& key) {
    return RegOpenKeyExA(parent, name, 0, KEY_READ | view, key.Receive()) == ERROR_SUCCESS;
}

// The text of value `name`, however long: its size is asked first. The type
// is not looked at; the text ends at its first zero, or with the data when
// the value was stored without one.
std::optional<std::string> ReadText(HKEY key, const char* name) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::string data;
    for (int attempt = 0; attempt < 4; ++attempt) {  // the value may grow between the two calls
        data.assign(static_cast<std::size_t>(size) + 1, '\0');
        DWORD received = size;
        const LONG result =
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &received);
        if (result == ERROR_MORE_DATA) {
            size = received > size ? received : size * 2 + 1;
            continue;
        }
        if (result != ERROR_SUCCESS) return std::nullopt;
        data.resize(received);
        const std::size_t zero = data.find('\0');
        if (zero != std::string::npos) data.resize(zero);
        return data;
    }
    return std::nullopt;
}

// The install folder as one view of the registry holds it.
std::optional<std::string> FindLocation(REGSAM view) {
    // One key at a time, read access only; declared outermost first, so the
    // keys that were opened close innermost first on every path.
    RegistryKey software, syntrillium, ce2000, state;
    if (!OpenForReading(HKEY_LOCAL_MACHINE, "SOFTWARE", view, software)) return std::nullopt;
    if (!OpenForReading(software.Get(), "Syntrillium", view, syntrillium)) return std::nullopt;
    if (!OpenForReading(syntrillium.Get(), "CE2000", view, ce2000)) return std::nullopt;
    if (!OpenForReading(ce2000.Get(), "State", view, state)) return std::nullopt;
    return ReadText(state.Get(), "Location");
}

}  // namespace

std::string FindSoundEditor() {
    // Cool Edit 2000 is a 32-bit program: on 64-bit Windows its installer
    // wrote into the 32-bit view (WOW6432Node), which a 64-bit program does
    // not see by default. An entry made by hand in the native view is taken
    // when the 32-bit view has none.
    std::optional<std::string> location = FindLocation(KEY_WOW64_32KEY);
    if (!location) location = FindLocation(0);
    if (!location) return kNoSoundProgram;
    return *location + "\\cool2000.exe";
}

}  // namespace varnel
