// The command line: varnel-cli [options] FUNCTION INPUT... OUTPUT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processing/ProcessFunctions.h"

namespace varnel::cli {

inline constexpr const char* kProgramName = "varnel-cli";

// One line of the program's own, "varnel-cli: TEXT" and a newline, to be
// written in one piece: standard error is unbuffered, so each part written
// on its own is a write of its own, and the lines of runs that share a
// terminal or a log (xargs -P) would interleave mid-line.
inline std::string ProgramLine(const std::string& text) { return std::string(kProgramName) + ": " + text + '\n'; }
// As INPUT: standard input; as OUTPUT: standard output.
inline constexpr const char* kStandardStream = "-";

enum class ProgressChoice {
    Auto,    // when stderr is a terminal and the run lasts
    Forced,  // --progress
    Off,     // --quiet
};

// What OUTPUT is written as.
enum class OutputType {
    ByName,  // WAV when its name ends in ".wav", raw otherwise ("-" too)
    Wav,     // --output-type wav
    Raw,     // --output-type raw
};

struct CliOptions {
    ProcessFunction function = ProcessFunction::None;
    std::string functionName;  // as typed: mono, stereo, join, join12, join21
    std::vector<std::string> inputs;  // every input, in order
    // Where each input was listed: "" for the command line, else the list's
    // name and line ("list.txt line 3"); beside `inputs`.
    std::vector<std::string> listedAt;
    std::string inputsFrom;  // --inputs-from FILE, "" when not given
    std::string output;
    ProgressChoice progress = ProgressChoice::Auto;
    bool quiet = false;  // no progress bar and no summary; failures are still shown
    bool json = false;
    bool pad = false;
    bool average = false;    // mono: the inputs' mean instead of their sum
    bool raw = false;        // every input read as raw samples, headers included
    std::uint32_t rate = 0;  // --rate HZ; 0 when not given
    OutputType outputType = OutputType::ByName;
};

// Said as a usage error: the rate cannot come from raw inputs, whether the
// command line says they are raw (--raw) or their content does.
inline constexpr const char* kRateNeeded = "a WAV OUTPUT from raw inputs needs their rate: --rate HZ";

// Whether OUTPUT is written as WAV: by -t, else by its name.
bool WritesWav(const CliOptions& options);

// A WAV OUTPUT of inputs that --raw makes raw, with no --rate: no input can
// have a rate to give, so no run is begun. Like a run, the command line
// first says which inputs cannot be opened; inputs found raw by their
// content are refused by the run (FormatProblem::RateNeeded).
bool RateNotGiven(const CliOptions& options);

struct ParsedCommandLine {
    enum class Kind {
        Run,         // `options` holds what to do
        Help,        // `text` is the help to print
        Version,     // `text` is the version line
        UsageError,  // `text` says what is wrong, in one line
    };
    Kind kind = Kind::UsageError;
    CliOptions options;
    std::string text;
};

ParsedCommandLine ParseCommandLine(int argc, const char* const argv[]);

// A rate as people write it: "22050", "22k", "44.1k", decimal only (a
// leading zero is no octal). Sets `rate` and returns "", or says what is
// wrong with `text` in words naming --rate.
std::string ReadRate(const std::string& text, std::uint32_t& rate);

// The function named on the command line, or None for any other word.
ProcessFunction FunctionNamed(const std::string& name);

// Adds `input` to `options`' inputs, listed at `listedAt` ("" for the
// command line).
void AddInput(CliOptions& options, const std::string& input, const std::string& listedAt);

// What is wrong with the number of inputs for the function, or with
// standard input among them; "" when nothing is.
std::string InputsProblem(const CliOptions& options);

}  // namespace varnel::cli
