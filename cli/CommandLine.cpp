#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "CliVersion.h"

namespace varnel::cli {
namespace {

constexpr std::array<std::pair<const char*, ProcessFunction>, 4> kFunctions{{
    {"mono", ProcessFunction::Mono},
    {"stereo", ProcessFunction::Stereo},
    {"join12", ProcessFunction::Join1To2},
    {"join21", ProcessFunction::Join2To1},
}};

constexpr const char* kDescription =
    "Combines two sound files of signed 16-bit samples, raw (headerless, little-endian) or WAV, into a third.";

constexpr const char* kFooter =
    "FUNCTION:\n"
    "  mono    add the inputs sample by sample, clipped to the 16-bit range\n"
    "  stereo  interleave: input 1 left, input 2 right\n"
    "  join12  INPUT1's samples followed by INPUT2's, as they are\n"
    "  join21  INPUT2's samples followed by INPUT1's, as they are\n"
    "\n"
    "Mono and stereo stop at the shorter input unless --pad is given. OUTPUT is\n"
    "written to a temporary file beside it and put in place only when the run\n"
    "succeeds; an OUTPUT that is one of the inputs is refused.\n"
    "\n"
    "-: as one input, standard input; as OUTPUT, standard output (written as it\n"
    "goes; the summary stays on stderr, and --json needs a named OUTPUT). A file\n"
    "whose name starts with - is written ./-name, or after --.\n"
    "\n"
    "WAV: an input that begins with a RIFF/WAVE header is read as WAV (16-bit\n"
    "PCM, any rate and channel count): only the samples of its data chunk are\n"
    "used. An OUTPUT named *.wav is written as 16-bit PCM WAV at the inputs'\n"
    "rate, with the inputs' channel count (stereo: 2); from raw inputs only,\n"
    "--rate gives the rate. A raw input beside a WAV input takes its format.\n"
    "The rates must agree, mono and the joins need equal channel counts, stereo\n"
    "two one-channel inputs. A WAV OUTPUT holds up to 4 GiB of samples.\n"
    "Examples:\n"
    "  varnel-cli mono voice.wav music.wav mix.wav\n"
    "  varnel-cli --rate 22050 stereo left.pcm right.pcm both.wav\n"
    "  varnel-cli join12 intro.wav take.wav whole.pcm   (samples only, no header)\n"
    "  varnel-cli --raw join12 a.wav b.wav bytes.pcm    (the files' bytes as they are)\n"
    "\n"
    "--json prints one JSON object on stdout for a run that succeeded or failed\n"
    "(with a code and a message for each failure); a wrong command line prints\n"
    "none.\n"
    "\n"
    "Exit status: 0 done, 1 the run failed, 2 wrong command line.";

// The options that take no value, and those that take one.
constexpr std::array<const char*, 9> kFlagNames{"-q",    "--quiet", "--progress", "--json",   "--pad",
                                                "--raw", "-h",      "--help",     "--version"};
constexpr std::array<const char*, 3> kValueOptionNames{"--rate", "-t", "--output-type"};

bool IsFlagName(const std::string& word) {
    return std::find(kFlagNames.begin(), kFlagNames.end(), word) != kFlagNames.end();
}

bool IsOptionName(const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    return IsFlagName(name) ||
           std::find(kValueOptionNames.begin(), kValueOptionNames.end(), name) != kValueOptionNames.end();
}

// The words before "--", where options are looked for.
std::vector<std::string> WordsBeforeDashes(int argc, const char* const argv[]) {
    std::vector<std::string> words;
    for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) words.emplace_back(argv[i]);
    return words;
}

// Every option is a plain flag: CLI11 would take "--json=false" as false and
// "--pad=yes" as true, which reads as a setting the program does not have.
std::string FlagGivenAValue(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
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
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--rate" || word == "-t" || word == "--output-type") ++i;
        if (word.size() < 2 || word[0] != '-' || IsOptionName(word)) continue;
        std::string text = "unknown option '" + word + "'";
        // A name with a dot or a slash was meant as a file.
        if (word.find_first_of("./\\") != std::string::npos)
            text += " (a file named so is written ./" + word + ", or after --)";
        return text;
    }
    return {};
}

}  // namespace

ProcessFunction FunctionNamed(const std::string& name) {
    for (const auto& [word, function] : kFunctions) {
        if (name == word) return function;
    }
    return ProcessFunction::None;
}

ParsedCommandLine ParseCommandLine(int argc, const char* const argv[]) {
    ParsedCommandLine parsed;
    CliOptions& options = parsed.options;

    CLI::App app(kDescription, kProgramName);
    app.footer(kFooter);
    // "/x" is a path on Windows too (the root of the current drive), never an option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string(kProgramName) + " " + kVersion);
    app.add_option("FUNCTION", options.functionName, "mono, stereo, join12 or join21")
        ->required()
        ->check(CLI::IsMember({"mono", "stereo", "join12", "join21"}));
    app.add_option("INPUT1", options.input1, "the first input sound file")->required();
    app.add_option("INPUT2", options.input2, "the second input sound file")->required();
    app.add_option("OUTPUT", options.output, "the output sound file, created or replaced")->required();
    auto* quiet = app.add_flag("-q,--quiet", options.quiet, "no progress bar and no summary; failures are still shown");
    bool forceProgress = false;
    auto* progress =
        app.add_flag("--progress", forceProgress, "show the progress bar even when stderr is not a terminal");
    progress->excludes(quiet);
    app.add_flag("--json", options.json, "print the summary as one JSON object on stdout");
    app.add_flag("--pad", options.pad, "mono and stereo: cover the longer input, the shorter one padded with silence");
    app.add_flag("--raw", options.raw, "read every input as raw samples, any header included");
    app.add_option("--rate", options.rate, "the rate of raw inputs in Hz (needed for a WAV OUTPUT from raw inputs)")
        ->type_name("HZ")
        ->check(CLI::Range(std::uint32_t{1}, std::uint32_t{0xFFFFFFFF}).description(""));

    std::string outputType;
    app.add_option("-t,--output-type", outputType, "OUTPUT's type whatever its name, - too (default: *.wav is WAV)")
        ->type_name("wav|raw")
        ->check(CLI::IsMember({"wav", "raw"}).description(""));

    const std::vector<std::string> words = WordsBeforeDashes(argc, argv);
    parsed.text = FlagGivenAValue(words);
    if (!parsed.text.empty()) return parsed;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        parsed.kind = ParsedCommandLine::Kind::Help;
        parsed.text = app.help();
        return parsed;
    } catch (const CLI::CallForVersion& version) {
        parsed.kind = ParsedCommandLine::Kind::Version;
        parsed.text = version.what();
        return parsed;
    } catch (const CLI::ParseError& error) {
        parsed.text = UnknownOption(words);
        if (parsed.text.empty()) parsed.text = error.what();
        return parsed;
    }

    options.function = FunctionNamed(options.functionName);
    if (!outputType.empty()) options.outputType = outputType == "wav" ? OutputType::Wav : OutputType::Raw;
    if (options.input1 == kStandardStream && options.input2 == kStandardStream) {
        parsed.text = "standard input (-) can be one input only";
        return parsed;
    }
    if (options.output == kStandardStream && options.json) {
        parsed.text = "--json prints on standard output, which OUTPUT - writes: name an OUTPUT file";
        return parsed;
    }
    if (options.pad && options.function != ProcessFunction::Mono && options.function != ProcessFunction::Stereo) {
        parsed.text = "--pad works with mono and stereo only";
        return parsed;
    }
    options.progress = options.quiet   ? ProgressChoice::Off
                       : forceProgress ? ProgressChoice::Forced
                                       : ProgressChoice::Auto;
    parsed.kind = ParsedCommandLine::Kind::Run;
    return parsed;
}

}  // namespace varnel::cli
