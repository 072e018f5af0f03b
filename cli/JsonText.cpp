#include "cli/JsonText.h"

#include "cli/ShownText.h"

namespace varnel::cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, at);
        const auto c = static_cast<unsigned char>(text[at]);
        if (length == 0) {
            quoted += "\\ufffd";
            ++at;
            continue;
        }
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (c < 0x20) {
                quoted += "\\u00";
                quoted += kHex[c >> 4];
                quoted += kHex[c & 0xF];
            } else {
                quoted.append(text, at, length);
            }
        }
        at += length;
    }
    return quoted + "\"";
}

std::string JsonPathMembers(std::string_view path) {
    std::string members = "\"path\":" + JsonString(path);
    if (IsValidUtf8(path)) return members;
    members += ",\"pathBytes\":\"";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        members += kHex[byte >> 4];
        members += kHex[byte & 0xF];
    }
    return members + "\"";
}

}  // namespace varnel::cli
