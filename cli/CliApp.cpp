#include "cli/CliApp.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/CommandLine.h"
#include "cli/CommandLineFiles.h"
#include "cli/Console.h"
#include "cli/ConsoleObserver.h"
#include "cli/Conversion.h"
#include "cli/FilesBeforeRun.h"
#include "cli/InputList.h"
#include "cli/ProgressBar.h"
#include "cli/ShownText.h"
#include "cli/Summary.h"
#include "processing/ProcessingRun.h"
#include "processing/SoundFileFormats.h"
#include "safeoutput/Interrupt.h"

namespace varnel::cli {
namespace {

// Large chunks and no pause: the run goes at the speed of the disk, while
// memory stays small and constant (two 1 MiB sample buffers), whatever the
// size of the files. Stereo reads half a chunk of each input, so that its
// frames, like every write, come to 1 MiB.
constexpr std::size_t kChunkSamples = std::size_t{1} << 19;
constexpr std::size_t kStereoChunkSamples = kChunkSamples / 2;
// Joins between files on disk are copied by the kernel, in
// pieces that keep the progress bar moving.
constexpr std::size_t kDirectCopyBytes = std::size_t{8} << 20;

ProcessingSettings CommandLineSettings(const CliOptions& options) {
    ProcessingSettings settings;
    const std::size_t chunk = options.function == ProcessFunction::Stereo ? kStereoChunkSamples : kChunkSamples;
    settings.chunks = {chunk, chunk, 0};
    settings.directCopyBytes = kDirectCopyBytes;
    settings.pauseAfterChunk = std::chrono::milliseconds(0);
    settings.padShorterInput = options.pad;
    settings.averageMono = options.average;
    return settings;
}

SoundFileChoices ContainerChoices(const CliOptions& options, const RunPaths& paths) {
    SoundFileChoices choices{options.function, options.raw, options.rate, options.pad, WritesWav(options)};
    // A name that says a sound file is taken at its word: such a file is
    // never mixed in as raw samples unless --raw says so.
    for (int input = 1; input <= paths.InputCount(); ++input)
        choices.inputsNamedAsSoundFiles.push_back(NamesSoundFile(paths.Input(input)));
    return choices;
}

int UsageFailure(const std::string& text, std::ostream& err) {
    err << ProgramLine(Shown(text)) + "Run '" + kProgramName + " --help' for the usage.\n" << std::flush;
    return kExitUsage;
}

// What an interrupt leaves of OUTPUT, told before the run begins: a file's
// old content, or no file, since the new one is put in place only at the end.
std::string InterruptedLine(const std::string& output) {
    std::string line = std::string(kProgramName) + ": interrupted";
    std::error_code error;
    const auto status = std::filesystem::status(std::u8string(output.begin(), output.end()), error);
    if (output == kStandardStream) {
        line += "; standard output has what was written before";
    } else if (status.type() == std::filesystem::file_type::regular) {
        line += "; '" + Shown(output) + "' is left as it was";
    } else if (status.type() == std::filesystem::file_type::not_found) {
        line += "; '" + Shown(output) + "' was not created";
    }
    return line + "\n";
}

// What an interrupt says once the new OUTPUT is in place: the run has
// succeeded, and the interrupt stops only the report. The program still
// ends by the signal, so that a script looping over files stops when the
// user asked it to, rather than go on to the next as after a success.
std::string InterruptedInPlaceLine(const std::string& output) {
    return std::string(kProgramName) + ": interrupted after '" + Shown(output) + "' was written in full\n";
}

// Every input that cannot be opened is told, and then an OUTPUT that would
// be refused; the run itself stops at the first input it cannot open, as the
// window's does, and is not begun when one is known.
RunResult RunOrTellWhatStopsIt(const CliOptions& options, const FilesBeforeRun& before, const RunPaths& paths,
                               ConsoleObserver& observer, SoundFileFormats& formats) {
    RunResult result;
    if (before.inputsNotOpened.empty()) {
        // Mono of a file with itself doubles it; join12 repeats it: the
        // inputs are read shared.
        CommandLineFiles files(paths);
        result = RunProcessing(options.function, files, formats, CommandLineSettings(options), observer);
        // Only an input not opened to see (a pipe, a device), or one gone
        // since, stops it there.
        if (!observer.InputNotOpened()) return result;
    }
    for (const FileProblem& problem : before.inputsNotOpened) observer.ReportFailure(problem);
    if (before.outputRefused) observer.ReportFailure(*before.outputRefused);
    return result;
}

int Run(const CliOptions& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const bool forced = options.progress == ProgressChoice::Forced;
    ProgressBar bar(err, forced || (options.progress == ProgressChoice::Auto && errIsTerminal), forced);
    RunPaths paths{options.inputs, options.output, options.listedAt};
    ConsoleObserver observer(err, bar, paths, options.functionName);
    SoundFileFormats formats(ContainerChoices(options, paths));

    const FilesBeforeRun before = LookAtFiles(paths);
    paths.found = before.found;
    if (before.inputsNotOpened.empty() && RateNotGiven(options)) return UsageFailure(kRateNeeded, err);

    // Both stay true once the run has ended: a failed run has left OUTPUT
    // as it was, and a run that succeeded has put the new one in place.
    safeoutput::SayOnInterrupt(InterruptedLine(options.output), InterruptedInPlaceLine(options.output));
    const RunResult result = RunOrTellWhatStopsIt(options, before, paths, observer, formats);
    if (observer.UsageError()) return UsageFailure(kRateNeeded, err);
    const bool succeeded = result.succeeded;
    bar.Clear();
    if (observer.StandardOutputGone()) return kExitOutputGone;

    RunSummary summary = SummaryOf(options, result, succeeded, observer.Failures());
    summary.formats.output = formats.Output();
    for (int number = 1; number <= paths.InputCount(); ++number)
        summary.formats.inputs.push_back(formats.Input(number));
    // A script that asked for the report must not take a lost one for a run
    // that went well (stdout full, closed, or a pipe nobody reads).
    const StreamWrite report = options.json ? WriteAndFlush(out, SummaryJson(summary) + '\n') : StreamWrite::Written;
    if (report == StreamWrite::NoReader) return kExitOutputGone;
    const bool reported = report == StreamWrite::Written;
    if (succeeded && !options.quiet) {
        for (const std::string& line : SummaryLines(summary)) err << ProgramLine(line);
    }
    // A warning, also when quiet: the output is not the inputs' plain sum.
    if (const std::string warning = ClippingWarning(summary); succeeded && !warning.empty())
        err << ProgramLine(warning);
    err << std::flush;
    if (!reported) {
        err << ProgramLine("the JSON report could not be written to standard output") << std::flush;
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
    if (parsed.options.inputsFrom.empty()) return Run(parsed.options, out, err, errIsTerminal);
    CliOptions options = parsed.options;
    if (const std::string problem = ReadInputList(options, std::cin); !problem.empty()) {
        err << ProgramLine(problem) << std::flush;
        return kExitRunFailed;
    }
    if (const std::string problem = InputsProblem(options); !problem.empty()) return UsageFailure(problem, err);
    return Run(options, out, err, errIsTerminal);
}

}  // namespace varnel::cli
