#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "CliVersion.h"
#include "cli/Options.h"
#include "cli/ShownText.h"
#include "processing/SoundFileFormats.h"

namespace varnel::cli {
namespace {

constexpr std::array<std::pair<const char*, ProcessFunction>, 5> kFunctions{{
    {"mono", ProcessFunction::Mono},
    {"stereo", ProcessFunction::Stereo},
    {"join", ProcessFunction::Join1To2},
    {"join12", ProcessFunction::Join1To2},
    {"join21", ProcessFunction::Join2To1},
}};

bool IsFlagName(const std::string& word) {
    const Option* option = OptionNamed(word);
    return option && !option->TakesValue();
}

bool IsValueOptionName(const std::string& word) {
    const Option* option = OptionNamed(word);
    return option && option->TakesValue();
}

// The rate's option, whose value is read before CLI11 sees it.
bool IsRateName(const std::string& word) {
    const Option* option = OptionNamed(word);
    return option && option->value == &OptionWords::rate;
}

bool IsOptionName(const std::string& word) { return OptionNamed(word.substr(0, word.find('='))) != nullptr; }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// "unknown option '-x.pcm'", with a hint when the word was meant as a file.
std::string UnknownOptionText(const std::string& word) {
    std::string text = "unknown option '" + word + "'";
    // A name with a dot, a slash or a blank was meant as a file.
    if (word.find_first_of("./\\ ") != std::string::npos)
        text += " (a file named so is written ./" + word + ", or after --)";
    return text;
}

// Every option is a plain flag: CLI11 would take "--json=false" as false and
// "--pad=yes" as true, which reads as a setting the program does not have.
std::string FlagGivenAValue(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word == "--") return {};
        const auto equals = word.find('=');
        if (word.size() > 1 && word[0] == '-' && equals != std::string::npos && IsFlagName(word.substr(0, equals))) {
            return word.substr(0, equals) + " takes no value (" + word + ")";
        }
    }
    return {};
}

// A word taken for an option that is none, which CLI11 reports only as a
// missing argument ("OUTPUT is required") when it was meant as a file. A
// value given to --rate is no option.
std::string UnknownOption(const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size() && words[i] != "--"; ++i) {
        const std::string& word = words[i];
        if (IsValueOptionName(word)) ++i;
        if (word.size() < 2 || word[0] != '-' || IsOptionName(word)) continue;
        return UnknownOptionText(word);
    }
    return {};
}

// A word that CLI11 takes for an option (or for --), never for a value.
bool LooksLikeOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// The words as CLI11 is to see them, or what is wrong with them. A cluster
// of short options ("-qr22k") becomes one word each ("-q", "-r", "22k"): left
// to CLI11, a cluster's tail that is no option ("-q--out.pcm") became a file
// nobody typed. Each rate is read here, by the program's own rules, so that
// a function's name taken as the rate ("--rate mono a.pcm ...") is named as
// such rather than as a wrong FUNCTION. `help` is set for -? and /?, the
// Windows ways of asking. FUNCTION, the inputs and OUTPUT are kept apart,
// each word as typed: CLI11 would read a word in brackets as a list
// ("[a,b]" two files, "[take]" the file "take").
struct PreparedWords {
    std::vector<std::string> words;
    std::vector<std::string> positionals;
    std::string problem;
    bool help = false;
    std::uint32_t rate = 0;
};

PreparedWords Prepare(int argc, const char* const argv[]) {
    PreparedWords prepared;
    std::vector<std::string>& words = prepared.words;
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) given.emplace_back(argv[i]);
    // The value of -r or --rate: `attached` to its option, or the next word.
    const auto takeRate = [&](std::size_t& i, const std::string& attached, bool isAttached) {
        std::string value = attached;
        if (!isAttached) {
            if (i + 1 >= given.size()) {
                prepared.problem = "--rate needs a number of Hz";
                return;
            }
            value = given[++i];
        }
        prepared.problem = ReadRate(value, prepared.rate);
        words.emplace_back("--rate");
        words.push_back(value);
    };
    for (std::size_t i = 0; i < given.size() && prepared.problem.empty(); ++i) {
        const std::string& word = given[i];
        if (word == "--") {
            prepared.positionals.insert(prepared.positionals.end(), given.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                        given.end());
            break;
        }
        if (word == "-?" || word == "/?") {
            prepared.help = true;
            return prepared;
        }
        if (IsRateName(word)) {
            takeRate(i, {}, false);
        } else if (word.rfind("--rate=", 0) == 0) {
            takeRate(i, word.substr(7), true);
        } else if (word.size() > 2 && word[0] == '-' && word[1] != '-') {
            for (std::size_t at = 1; at < word.size() && prepared.problem.empty(); ++at) {
                const std::string letter = std::string("-") + word[at];
                if (IsFlagName(letter)) {
                    words.push_back(letter);
                } else if (IsRateName(letter)) {
                    takeRate(i, word.substr(at + 1), at + 1 < word.size());
                    break;
                } else {
                    prepared.problem = UnknownOptionText(word);
                }
            }
        } else if (IsValueOptionName(word)) {
            words.push_back(word);
            if (i + 1 < given.size() && !LooksLikeOption(given[i + 1])) words.push_back(given[++i]);
        } else if (LooksLikeOption(word)) {
            words.push_back(word);
        } else {
            prepared.positionals.push_back(word);
        }
    }
    return prepared;
}

// Each option of the table, as CLI11 is to read it into `given`.
void AddOptions(CLI::App& app, OptionWords& given) {
    for (const Option& option : Options()) {
        CLI::Option* added = nullptr;
        switch (option.role) {
        case Option::Role::Help: added = app.set_help_flag(option.names); break;
        case Option::Role::Version:
            added = app.set_version_flag(option.names, std::string(kProgramName) + " " + kVersion);
            break;
        case Option::Role::Setting:
            added = option.TakesValue() ? app.add_option(option.names, given.*option.value)
                                        : app.add_flag(option.names, given.*option.flag);
            break;
        }
        if (const std::string values = option.valueName ? option.valueName : ""; values.find('|') != std::string::npos)
            added->check(CLI::IsMember(Split(values, '|')));
        if (option.excludes) added->excludes(app.get_option(option.excludes));
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string ReadRate(const std::string& text, std::uint32_t& rate) {
    // Digits, a decimal point and digits, then k for thousands.
    std::size_t at = 0;
    while (at < text.size() && IsDigit(text[at])) ++at;
    const std::string whole = text.substr(0, at);
    std::string fraction;
    if (at < text.size() && text[at] == '.') {
        const std::size_t start = ++at;
        while (at < text.size() && IsDigit(text[at])) ++at;
        fraction = text.substr(start, at - start);
    }
    const bool thousands = at < text.size() && (text[at] == 'k' || text[at] == 'K');
    if (thousands) ++at;
    if (whole.empty() || at != text.size() || (text.find('.') != std::string::npos && fraction.empty()))
        return "--rate needs a number of Hz, not '" + text + "'";

    // In Hz: the whole part, and as many of the fraction's digits as k makes
    // whole; any other digit but 0 is a fraction of a Hz.
    std::string digits = whole;
    const std::size_t shift = thousands ? 3 : 0;
    for (std::size_t i = 0; i < std::max(shift, fraction.size()); ++i) {
        const char digit = i < fraction.size() ? fraction[i] : '0';
        if (i < shift) {
            digits += digit;
        } else if (digit != '0') {
            return "--rate " + text + " is not a whole number of Hz";
        }
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    constexpr std::uint64_t kMostHz = 0xFFFFFFFFu;
    std::uint64_t hz = 0;
    for (const char digit : digits) {
        hz = hz * 10 + static_cast<std::uint64_t>(digit - '0');
        if (hz > kMostHz) break;
    }
    if (hz == 0 || hz > kMostHz) return "--rate " + text + " is out of range: 1 to 4294967295 Hz";
    rate = static_cast<std::uint32_t>(hz);
    return {};
}

ProcessFunction FunctionNamed(const std::string& name) {
    for (const auto& [word, function] : kFunctions) {
        if (name == word) return function;
    }
    return ProcessFunction::None;
}

void AddInput(CliOptions& options, const std::string& input, const std::string& listedAt) {
    options.inputs.push_back(input);
    options.listedAt.push_back(listedAt);
}

bool RateNotGiven(const CliOptions& options) { return options.raw && options.rate == 0 && WritesWav(options); }

bool WritesWav(const CliOptions& options) {
    if (options.outputType == OutputType::ByName) return NamesWavFile(options.output);
    return options.outputType == OutputType::Wav;
}

std::string InputsProblem(const CliOptions& options) {
    const std::size_t count = options.inputs.size();
    const bool many = options.function == ProcessFunction::Mono || options.function == ProcessFunction::Join1To2;
    if (count < 2)
        return options.functionName + " needs " + (many ? "two inputs or more" : "two inputs") +
               (count == 0 ? ": none was given" : ": one was given");
    if (!many && count > 2)
        return options.functionName + " takes exactly two inputs: '" + Shown(options.inputs[2]) +
               "' is one more (mono and join take more)";
    if (std::count(options.inputs.begin(), options.inputs.end(), kStandardStream) > 1)
        return "standard input (-) can be one input only";
    return {};
}

ParsedCommandLine ParseCommandLine(int argc, const char* const argv[]) {
    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;

    PreparedWords prepared = Prepare(argc, argv);
    if (prepared.help) {
        parsed.kind = ParsedCommandLine::Kind::Help;
        parsed.text = HelpText();
        return parsed;
    }
    parsed.text = prepared.problem;
    if (parsed.text.empty()) parsed.text = FlagGivenAValue(prepared.words);
    if (!parsed.text.empty()) return parsed;

    CLI::App app("", kProgramName);
    // "/x" is a path on Windows too (the root of the current drive), never an option.
    app.allow_windows_style_options(false);
    OptionWords given;
    AddOptions(app, given);

    // CLI11 takes the words last first.
    std::vector<std::string> reversed(prepared.words.rbegin(), prepared.words.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.kind = ParsedCommandLine::Kind::Help;
        parsed.text = HelpText();
        return parsed;
    } catch (const CLI::CallForVersion& version) {
        parsed.kind = ParsedCommandLine::Kind::Version;
        parsed.text = version.what();
        return parsed;
    } catch (const CLI::ParseError& error) {
        parsed.text = UnknownOption(prepared.words);
        if (parsed.text.empty()) parsed.text = error.what();
        return parsed;
    }

    options.inputsFrom = given.inputsFrom;
    options.quiet = given.quiet;
    options.json = given.json;
    options.pad = given.pad;
    options.average = given.average;
    options.raw = given.raw;

    // FUNCTION INPUT... OUTPUT, told apart here.
    const std::vector<std::string>& positionals = prepared.positionals;
    if (positionals.empty()) {
        parsed.text = "FUNCTION INPUT... OUTPUT is required";
        return parsed;
    }
    options.functionName = positionals.front();
    if (positionals.size() >= 2) options.output = positionals.back();
    for (std::size_t i = 1; i + 1 < positionals.size(); ++i) AddInput(options, positionals[i], {});
    options.function = FunctionNamed(options.functionName);
    options.rate = prepared.rate;
    if (options.function == ProcessFunction::None) {
        parsed.text = "unknown function '" + options.functionName + "': mono, stereo, join, join12 or join21";
        return parsed;
    }
    if (positionals.size() < 2) {
        parsed.text = "OUTPUT is missing";
        return parsed;
    }
    if (!given.outputType.empty())
        options.outputType = given.outputType == "wav" ? OutputType::Wav : OutputType::Raw;
    const bool many = options.function == ProcessFunction::Mono || options.functionName == "join";
    if (!options.inputsFrom.empty() && !many) {
        parsed.text = "--inputs-from works with join and mono only";
        return parsed;
    }
    // The listed inputs are read and counted when the run begins.
    if (options.inputsFrom.empty()) parsed.text = InputsProblem(options);
    if (!parsed.text.empty()) return parsed;
    if (options.output == kStandardStream && options.json) {
        parsed.text = "--json prints on standard output, which OUTPUT - writes: name an OUTPUT file";
        return parsed;
    }
    if (options.pad && options.function != ProcessFunction::Mono && options.function != ProcessFunction::Stereo) {
        parsed.text = "--pad works with mono and stereo only";
        return parsed;
    }
    if (options.average && options.function != ProcessFunction::Mono) {
        parsed.text = "--average works with mono only";
        return parsed;
    }
    options.progress = options.quiet    ? ProgressChoice::Off
                       : given.progress ? ProgressChoice::Forced
                                        : ProgressChoice::Auto;
    parsed.kind = ParsedCommandLine::Kind::Run;
    return parsed;
}

}  // namespace varnel::cli
