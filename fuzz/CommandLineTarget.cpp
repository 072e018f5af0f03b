#include <algorithm>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Options.h"
#include "cli/ShownText.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/Require.h"

namespace varnel::fuzz {
namespace {

bool IsDecimal(const std::string& text) {
    return !text.empty() && text.size() <= 20 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a message shows of the words: no control character reaches the terminal.
void RequireShowable(const std::string& text) {
    const std::string shown = cli::Shown(text);
    Require(cli::IsValidUtf8(shown), "a message is valid UTF-8");
    Require(std::none_of(shown.begin(), shown.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
            "a message holds no control character");
}

}  // namespace

void FuzzCommandLine(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"varnel-cli"};
    std::string word;
    for (std::size_t i = 0; i < size && words.size() < 24; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& each : words) argv.push_back(each.c_str());

    const cli::ParsedCommandLine parsed = cli::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    switch (parsed.kind) {
    case cli::ParsedCommandLine::Kind::Help: Require(parsed.text == cli::HelpText(), "help is the help"); return;
    case cli::ParsedCommandLine::Kind::Version: return;
    case cli::ParsedCommandLine::Kind::UsageError:
        // Shown, a word's newline escaped: one line.
        Require(!parsed.text.empty(), "a wrong usage says what is wrong");
        RequireShowable(parsed.text);
        return;
    case cli::ParsedCommandLine::Kind::Run: break;
    }
    const cli::CliOptions& options = parsed.options;
    Require(options.function != ProcessFunction::None, "a run has a function");
    // Each file is a word as typed, never a piece of one ("-q--out.pcm"
    // once gave the file "---out.pcm").
    std::vector<std::string> files = options.inputs;
    files.push_back(options.output);
    for (const std::string& path : files) {
        Require(std::find(words.begin() + 1, words.end(), path) != words.end(), "every file is a word given");
    }
    // A rate in digits is decimal, a leading zero or not (once octal).
    for (std::size_t i = 1; i + 1 < words.size() && words[i] != "--"; ++i) {
        if ((words[i] == "--rate" || words[i] == "-r") && IsDecimal(words[i + 1])) {
            Require(options.rate == std::stoull(words[i + 1], nullptr, 10), "a rate in digits is read as decimal");
        }
        if (words[i] == "--rate" || words[i] == "-r") ++i;
    }
}

}  // namespace varnel::fuzz
