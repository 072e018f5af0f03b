#include <string>

#include "cli/JsonText.h"
#include "cli/ShownText.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/Require.h"

namespace varnel::fuzz {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& text, unsigned code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The text a JSON string literal stands for, as RFC 8259 reads it; aborts
// when `json` is no valid literal. The writer escapes nothing past U+FFFF,
// so a \u escape is never half of a surrogate pair.
std::string ReadJsonString(const std::string& json) {
    Require(cli::IsValidUtf8(json), "JSON is valid UTF-8");
    Require(json.size() >= 2 && json.front() == '"' && json.back() == '"', "a string is quoted");
    std::string text;
    for (std::size_t i = 1; i + 1 < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        Require(c >= 0x20 && c != '"', "no raw control character or quote inside a string");
        if (c != '\\') {
            text += json[i];
            continue;
        }
        Require(i + 2 < json.size(), "an escape is whole");
        const char kind = json[++i];
        const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
        if (const auto at = simple.find(kind); at != std::string::npos) {
            text += meaning[at];
            continue;
        }
        Require(kind == 'u' && i + 5 < json.size(), "an escape is one JSON knows");
        unsigned code = 0;
        for (int digit = 0; digit < 4; ++digit) {
            const int value = HexValue(json[++i]);
            Require(value >= 0, "\\u takes four hexadecimal digits");
            code = code * 16 + static_cast<unsigned>(value);
        }
        Require(code < 0xD800 || code > 0xDFFF, "no lone surrogate");
        AppendUtf8(text, code);
    }
    return text;
}

}  // namespace

void FuzzJsonText(const std::uint8_t* data, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::string text = ReadJsonString(cli::JsonString(name));
    if (cli::IsValidUtf8(name)) Require(text == name, "a UTF-8 name comes back as it was");

    // "path":"...", and the name's every byte in "pathBytes" when it is no UTF-8.
    const std::string members = cli::JsonPathMembers(name);
    const std::string bytesKey = ",\"pathBytes\":\"";
    const auto bytesAt = members.rfind(bytesKey);
    Require((bytesAt != std::string::npos) != cli::IsValidUtf8(name), "pathBytes exactly when the name is no UTF-8");
    if (bytesAt != std::string::npos) {
        const std::string hex = members.substr(bytesAt + bytesKey.size(), 2 * size);
        std::string back;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            back += static_cast<char>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1]));
        }
        Require(back == name && members.size() == bytesAt + bytesKey.size() + 2 * size + 1, "pathBytes is the name");
    }

    const std::string shown = cli::Shown(name);
    Require(cli::IsValidUtf8(shown), "a name shown in a message is valid UTF-8");
    for (const char c : shown) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "no control character");
}

}  // namespace varnel::fuzz
