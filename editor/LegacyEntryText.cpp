#include "editor/LegacyEntryText.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace varnel {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

// The value's bytes as the file holds them: the first `key=` line of the
// first `[section]`, trimmed as the profile functions trim it.
std::optional<std::string> RawEntry(const std::string& iniFile, const std::string& section, const std::string& key) {
    std::ifstream in(iniFile, std::ios::binary);
    if (!in) return std::nullopt;
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        const std::string text = Trimmed(line);
        if (!text.empty() && text.front() == '[') {
            const auto close = text.find(']');
            inSection = close != std::string::npos && SameName(Trimmed(text.substr(1, close - 1)), section);
            continue;
        }
        const auto equals = text.find('=');
        if (inSection && equals != std::string::npos && SameName(Trimmed(text.substr(0, equals)), key))
            return Trimmed(text.substr(equals + 1));
    }
    return std::nullopt;
}

std::wstring Decoded(const std::string& bytes, UINT codePage, DWORD flags = 0) {
    const int units = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0) return L"";
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
    return text;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return "";
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool IsUtf8(const std::string& bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

// The system's legacy code page for programs without a UTF-8 manifest
// (1252 on Western systems); 0 when the system has none.
UINT LegacyAnsiCodePage() {
    DWORD codePage = 0;
    if (!GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(WCHAR)))
        return 0;
    return codePage == CP_UTF8 ? 0 : codePage;
}

}  // namespace

std::optional<std::string> LegacyEntryText(const std::string& iniFile, const std::string& section,
                                           const std::string& key, const std::string& profileValue) {
    // Only a UTF-8 program loses such bytes, and only to replacement
    // characters (U+FFFD): anything else the profile functions read stands.
    if (GetACP() != CP_UTF8 || profileValue.find("\xEF\xBF\xBD") == std::string::npos) return std::nullopt;
    const std::optional<std::string> raw = RawEntry(iniFile, section, key);
    if (!raw || IsUtf8(*raw)) return std::nullopt;
    // The same entry that the profile functions found, not another line.
    if (Utf8(Decoded(*raw, CP_UTF8)) != profileValue) return std::nullopt;
    const UINT legacy = LegacyAnsiCodePage();
    if (legacy == 0) return std::nullopt;
    return Utf8(Decoded(*raw, legacy));
}

}  // namespace varnel
