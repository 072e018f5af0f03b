// Text from outside the program (file names, words of the command line) as
// it may be shown: on a terminal, where a newline or an escape sequence in a
// name would move the cursor or recolour the screen, and in JSON, which must
// be valid UTF-8 whatever bytes a name holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varnel::cli {

// How many bytes from `text[at]` on make one valid UTF-8 character (1 to 4),
// or 0 when the byte there begins none (a stray or cut sequence, an overlong
// form, a surrogate, or past U+10FFFF).
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

bool IsValidUtf8(std::string_view text);

// `text` for a message line: tab, newline and carriage return as \t, \n and
// \r, the other control characters and every byte that is not part of a
// valid UTF-8 character as \xHH, the C1 controls (U+0080 to U+009F) as
// \u00HH. Everything else, backslashes included (Windows paths are full of
// them), stays as it is.
std::string Shown(std::string_view text);

}  // namespace varnel::cli
