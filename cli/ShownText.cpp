#include "cli/ShownText.h"

namespace varnel::cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

std::string Hex(unsigned char byte) { return {kHex[byte >> 4], kHex[byte & 0xF]}; }

}  // namespace

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    // The range of the second byte narrows for the lead bytes whose shortest
    // forms or whose surrogates it must keep out (Unicode's table 3-7).
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string Shown(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        if (length == 0) {
            shown += "\\x" + Hex(lead);
            ++at;
            continue;
        }
        if (length == 1 && (lead < 0x20 || lead == 0x7F)) {
            shown += lead == '\t' ? "\\t" : lead == '\n' ? "\\n" : lead == '\r' ? "\\r" : "\\x" + Hex(lead);
        } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
            shown += "\\u00" + Hex(static_cast<unsigned char>(text[at + 1]));
        } else {
            shown.append(text, at, length);
        }
        at += length;
    }
    return shown;
}

}  // namespace varnel::cli
