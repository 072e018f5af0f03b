#include "cli/CliApp.h"

#include <chrono>

#include "cli/CommandLine.h"
#include "cli/ConsoleObserver.h"
#include "cli/ProgressBar.h"
#include "cli/SafeOutput.h"
#include "cli/SoundFileFormats.h"
#include "cli/Summary.h"
#include "processing/ProcessingRun.h"

namespace varnel::cli {
namespace {

// Large chunks and no pause: the run goes at the speed of the disk, while
// memory stays small and constant (two 1 MiB sample buffers), whatever the
// size of the files. Stereo reads half a chunk of each input, so that its
// frames, like every write, come to 1 MiB.
constexpr std::size_t kChunkSamples = std::size_t{1} << 19;
constexpr std::size_t kStereoChunkSamples = kChunkSamples / 2;
// Joins between files on one file system are copied by the kernel, in
// pieces that keep the progress bar moving.
constexpr std::size_t kDirectCopyBytes = std::size_t{8} << 20;

ProcessingSettings CommandLineSettings(const CliOptions& options) {
    ProcessingSettings settings;
    const std::size_t chunk = options.function == ProcessFunction::Stereo ? kStereoChunkSamples : kChunkSamples;
    settings.chunks = {chunk, chunk, 0};
    settings.directCopyBytes = kDirectCopyBytes;
    settings.pauseAfterChunk = std::chrono::milliseconds(0);
    settings.padShorterInput = options.pad;
    settings.shareInputs = true;  // mono of a file with itself doubles it; join12 repeats it
    return settings;
}

int UsageFailure(const std::string& text, std::ostream& err) {
    err << kProgramName << ": " << text << '\n' << "Run '" << kProgramName << " --help' for the usage.\n" << std::flush;
    return kExitUsage;
}

int Run(const CliOptions& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const bool forced = options.progress == ProgressChoice::Forced;
    ProgressBar bar(err, forced || (options.progress == ProgressChoice::Auto && errIsTerminal), forced);
    ConsoleObserver observer(err, bar, {options.input1, options.input2, options.output});
    SafeOutput output(options.input1, options.input2);
    SoundFileFormats formats(options);

    const RunResult result = RunProcessing({options.input1, options.input2, options.output, options.function},
                                           CommandLineSettings(options), observer, &output, &formats);
    if (!formats.UsageError().empty()) return UsageFailure(formats.UsageError(), err);
    bool succeeded = result.succeeded;
    if (succeeded && !output.Commit()) {
        observer.ReportFileProblem({RunFile::Output, FileAction::Write, {FileCause::none, -1}},
                                   {"Writing The Output Sound File Failed"});
        succeeded = false;
    }
    output.Discard();
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
