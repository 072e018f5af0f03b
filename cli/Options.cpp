#include "cli/Options.h"

#include <algorithm>
#include <array>

namespace varnel::cli {
namespace {

using Role = Option::Role;

constexpr std::array<Option, 11> kOptions{{
    {"--inputs-from", "FILE", "mono, join: more inputs, one a line of FILE (- stdin)", nullptr, nullptr,
     &OptionWords::inputsFrom},
    {"--average", nullptr, "mono: each sample the inputs' mean, which never clips", nullptr, &OptionWords::average},
    {"--pad", nullptr, "mono, stereo: go on to the longer input's end, with silence", nullptr, &OptionWords::pad},
    {"--raw", nullptr, "read every input as raw samples, a WAV header included", nullptr, &OptionWords::raw},
    {"-r,--rate", "HZ", "the rate of raw inputs, such as 8000, 22050, 22k or 44.1k", nullptr, nullptr,
     &OptionWords::rate},
    {"-t,--output-type", "wav|raw", "OUTPUT's type whatever its name, - too (or --output-type)", "-t wav|raw",
     nullptr, &OptionWords::outputType},
    {"--json", nullptr, "print a report as one JSON object on standard output", nullptr, &OptionWords::json},
    {"-q,--quiet", nullptr, "no progress bar and no summary; failures and warnings stay", nullptr,
     &OptionWords::quiet},
    {"--progress", nullptr, "the progress bar even when standard error is no terminal", nullptr,
     &OptionWords::progress, nullptr, "--quiet"},
    {"-h,--help", nullptr, "this help (also -? and /?); --version: the version", nullptr, nullptr, nullptr, nullptr,
     Role::Help},
    {"--version", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, Role::Version},
}};

#ifdef _WIN32
#define VARNEL_MORE_HELP "More in README.txt, beside varnel-cli.exe.\n"
#else
#define VARNEL_MORE_HELP "More in the manual: man varnel-cli\n"
#endif

constexpr const char* kHelpHead =
    "varnel-cli makes one sound file of others: 16-bit samples, raw or WAV.\n"
    "Usage: varnel-cli [OPTIONS] FUNCTION INPUT... OUTPUT\n"
    "\n"
    "Functions:\n"
    "  mono    two inputs or more added sample by sample, clipped to 16 bits once\n"
    "  stereo  two inputs: input 1 as the left channel, input 2 as the right\n"
    "  join    two inputs or more, one after the other (join12 is the same)\n"
    "  join21  two inputs: INPUT2's samples, then INPUT1's\n"
    "Options:\n";

constexpr const char* kHelpTail =
    "\n"
    "OUTPUT is replaced only when the run succeeds; one named *.wav is a WAV file.\n"
    "- is standard input or output. Exit status: 0 done, 1 failed, 2 wrong usage.\n" VARNEL_MORE_HELP;

// The help's left column: "-r, --rate HZ".
std::string LeftColumn(const Option& option) {
    if (option.shownAs) return option.shownAs;
    std::string shown = option.names;
    if (const auto comma = shown.find(','); comma != std::string::npos) shown.insert(comma + 1, " ");
    if (option.TakesValue()) shown += std::string(" ") + option.valueName;
    return shown;
}

std::string MakeHelpText() {
    // The descriptions start in one column, which a longer left column pushes on.
    constexpr std::size_t kColumn = 13;
    std::string text = kHelpHead;
    for (const Option& option : kOptions) {
        if (!option.help) continue;
        std::string shown = LeftColumn(option);
        shown.resize(std::max(shown.size(), kColumn), ' ');
        text += "  " + shown + "  " + option.help + "\n";
    }
    return text + kHelpTail;
}

}  // namespace

bool Option::IsNamed(const std::string& word) const {
    const std::string all = std::string(",") + names + ",";
    return !word.empty() && all.find("," + word + ",") != std::string::npos;
}

std::span<const Option> Options() { return kOptions; }

const Option* OptionNamed(const std::string& word) {
    for (const Option& option : kOptions) {
        if (option.IsNamed(word)) return &option;
    }
    return nullptr;
}

const std::string& HelpText() {
    static const std::string text = MakeHelpText();
    return text;
}

}  // namespace varnel::cli
