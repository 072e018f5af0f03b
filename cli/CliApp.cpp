#include "cli/CliApp.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "cli/CommandLine.h"
#include "cli/CommandLineFiles.h"
#include "cli/ConsoleObserver.h"
#include "cli/ProgressBar.h"
#include "cli/Summary.h"
#include "processing/ProcessingRun.h"
#include "processing/SoundFileFormats.h"

namespace varnel::cli {
namespace {

// Large chunks and no pause: the run goes at the speed of the disk, while
// memory stays small and constant (two 1 MiB sample buffers, and 2 MiB of
// stereo frames), whatever the size of the files.
constexpr std::size_t kChunkSamples = std::size_t{1} << 19;

ProcessingSettings CommandLineSettings(const CliOptions& options) {
    ProcessingSettings settings;
    settings.chunks = {kChunkSamples, kChunkSamples, 0};
    settings.pauseAfterChunk = std::chrono::milliseconds(0);
    settings.padShorterInput = options.pad;
    return settings;
}

// Whether OUTPUT is to be written as WAV: its name ends in ".wav", any case.
bool NamesWavFile(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".wav";
}

SoundFileChoices ContainerChoices(const CliOptions& options) {
    return {options.function, options.raw, options.rate, options.pad, NamesWavFile(options.output)};
}

int UsageFailure(const std::string& text, std::ostream& err) {
    err << kProgramName << ": " << text << '\n' << "Run '" << kProgramName << " --help' for the usage.\n" << std::flush;
    return kExitUsage;
}

int Run(const CliOptions& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const bool forced = options.progress == ProgressChoice::Forced;
    ProgressBar bar(err, forced || (options.progress == ProgressChoice::Auto && errIsTerminal), forced);
    const RunPaths paths{options.input1, options.input2, options.output};
    ConsoleObserver observer(err, bar, paths, options.functionName);
    // Mono of a file with itself doubles it; join12 repeats it: the inputs
    // are read shared.
    CommandLineFiles files(paths);
    SoundFileFormats formats(ContainerChoices(options));

    const RunResult result = RunProcessing(options.function, files, formats, CommandLineSettings(options), observer);
    if (observer.UsageError()) return UsageFailure(*observer.UsageError(), err);
    const bool succeeded = result.succeeded;
    bar.Clear();

    RunSummary summary = SummaryOf(options, result, succeeded, observer.Failures());
    summary.formats = {formats.Input(1), formats.Input(2), formats.Output()};
    // A script that asked for the report must not take a lost one for a run
    // that went well (stdout full, closed, or a pipe nobody reads).
    const bool reported = !options.json || (out << SummaryJson(summary) << '\n' << std::flush);
    if (succeeded && !options.quiet) {
        for (const std::string& line : SummaryLines(summary)) err << kProgramName << ": " << line << '\n';
        err << std::flush;
    }
    if (!reported) {
        err << kProgramName << ": the JSON report could not be written to standard output\n" << std::flush;
        return kExitRunFailed;
    }
    return succeeded ? kExitSuccess : kExitRunFailed;
}

}  // namespace

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
    switch (parsed.kind) {
    case ParsedCommandLine::Kind::Help: out << parsed.text << std::flush; return kExitSuccess;
    case ParsedCommandLine::Kind::Version: out << parsed.text << '\n' << std::flush; return kExitSuccess;
    case ParsedCommandLine::Kind::UsageError: return UsageFailure(parsed.text, err);
    case ParsedCommandLine::Kind::Run: break;
    }
    return Run(parsed.options, out, err, errIsTerminal);
}

}  // namespace varnel::cli
