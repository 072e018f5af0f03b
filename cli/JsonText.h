// The pieces of the JSON report that hold text from outside the program.
// The report is valid UTF-8 JSON whatever bytes a file's name holds.
#pragma once

#include <string>
#include <string_view>

namespace varnel::cli {

// `text` as a JSON string, quotes included. Control characters are escaped;
// a byte that is not part of a valid UTF-8 character becomes U+FFFD, the
// replacement character.
std::string JsonString(std::string_view text);

// "path":"..." for a file's name as given, followed, when the name is not
// valid UTF-8 (and so had bytes replaced), by "pathBytes":"..." holding
// every byte of it in hexadecimal, from which a script gets the name back.
std::string JsonPathMembers(std::string_view path);

}  // namespace varnel::cli
