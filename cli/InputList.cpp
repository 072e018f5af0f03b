#include "cli/InputList.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/ShownText.h"

namespace varnel::cli {

std::string AddListedInputs(std::istream& list, const std::string& listName, CliOptions& options) {
    const bool listIsStandardInput = listName == kStandardStream;
    const std::string shownList = listIsStandardInput ? "standard input" : Shown(listName);
    std::string line;
    for (int number = 1; std::getline(list, line); ++number) {
        // Notepad begins a UTF-8 file with a byte order mark, and Windows
        // ends its lines with CR LF.
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const std::string at = shownList + " line " + std::to_string(number);
        if (listIsStandardInput && line == kStandardStream)
            return "standard input holds the list of inputs and cannot be an input too (" + at + ")";
        AddInput(options, line, at);
    }
    if (list.bad()) return "cannot read the list of inputs " + shownList;
    return {};
}

std::string ReadInputList(CliOptions& options, std::istream& standardInput) {
    if (options.inputsFrom == kStandardStream) return AddListedInputs(standardInput, kStandardStream, options);
    const std::filesystem::path path = std::u8string(options.inputsFrom.begin(), options.inputsFrom.end());
    std::error_code error;
    const std::string shown = std::string("'").append(Shown(options.inputsFrom)).append("'");
    if (std::filesystem::is_directory(path, error)) return "the list of inputs " + shown + " is a folder, not a file";
    std::ifstream list(path, std::ios::binary);
    if (!list) {
        const bool missing = !std::filesystem::exists(path, error);
        return "cannot open the list of inputs " + shown + (missing ? ": no such file" : "");
    }
    return AddListedInputs(list, options.inputsFrom, options);
}

}  // namespace varnel::cli
