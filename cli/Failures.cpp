#include "cli/Failures.h"

#include <cstdio>
#include <system_error>
#include <variant>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/ShownText.h"
#include "processing/File.h"

namespace varnel::cli {
namespace {

// Stable kebab-case names of the file layer's causes, for the codes.
const char* CauseCode(FileCause cause) {
    switch (cause) {
    case FileCause::none: break;
    case FileCause::generic: return "generic";
    case FileCause::fileNotFound: return "not-found";
    case FileCause::badPath: return "bad-path";
    case FileCause::tooManyOpenFiles: return "too-many-open-files";
    case FileCause::accessDenied: return "access-denied";
    case FileCause::invalidFile: return "invalid-file";
    case FileCause::removeCurrentDir: return "current-folder";
    case FileCause::directoryFull: return "folder-full";
    case FileCause::badSeek: return "bad-seek";
    case FileCause::hardIO: return "hard-io";
    case FileCause::sharingViolation: return "in-use";
    case FileCause::lockViolation: return "locked";
    case FileCause::diskFull: return "disk-full";
    case FileCause::endOfFile: return "end-of-file";
    }
    return "generic";
}

const char* CauseWords(FileCause cause) {
    switch (cause) {
    case FileCause::none: break;
    case FileCause::generic: break;
    case FileCause::fileNotFound: return "no such file";
    case FileCause::badPath: return "no such folder, or the name is not valid";
    case FileCause::tooManyOpenFiles: return "too many files are open";
    case FileCause::accessDenied: return "permission denied";
    case FileCause::invalidFile: return "not a file that can be opened";
    case FileCause::removeCurrentDir: return "it is the current folder";
    case FileCause::directoryFull: return "the folder is full";
    case FileCause::badSeek: return "it cannot be positioned";
    case FileCause::hardIO: return "an input/output error";
    case FileCause::sharingViolation: return "another program is using it";
    case FileCause::lockViolation: return "another program has locked part of it";
    case FileCause::diskFull: return "no room for it";
    case FileCause::endOfFile: return "it became shorter during the run";
    }
    return "the system reported an error";
}

// Quoted as it may be shown: control characters and stray bytes escaped.
std::string Quoted(const std::string& path) { return "'" + Shown(path) + "'"; }

// "input 1 'a.pcm'", "input 1 (standard input)".
std::string InputNamed(int input, const std::string& path) {
    const std::string name = "input " + std::to_string(input);
    return path == kStandardStream ? name + " (standard input)" : name + " " + Quoted(path);
}

std::string Channels(std::uint16_t count) { return std::to_string(count) + (count == 1 ? " channel" : " channels"); }

// The run's files, which no command of the advice may write.
NamesInUse FilesOf(const RunPaths& paths) {
    NamesInUse names{paths.output};
    for (int input = 1; input <= paths.InputCount(); ++input) names.push_back(paths.Input(input));
    return names;
}

// What a WAV file we cannot read holds, for "input 1 (x.wav) ...".
std::string Unreadable(const FormatRefusal& refusal, const std::string& path, const NamesInUse& inUse) {
    constexpr std::uint16_t kFormatFloat = 3;
    const std::string only = "; " + WavConversionAdvice(path, inUse);
    switch (refusal.wav) {
    case WavProblem::CutShort: return "is a WAV file that ends before its samples begin";
    case WavProblem::NoFormatChunk: return "is a WAV file whose samples come before their format chunk";
    case WavProblem::BadFormatChunk: return "is a WAV file with a damaged format chunk";
    case WavProblem::NotPcm:
        if (refusal.formatTag == kFormatFloat) {
            return "holds " + std::to_string(refusal.bitsPerSample) + "-bit floating-point samples" + only;
        } else {
            char tag[8];
            std::snprintf(tag, sizeof tag, "0x%04X", refusal.formatTag);
            return std::string("holds compressed samples (WAV format ") + tag + ")" + only;
        }
    case WavProblem::ExtensibleNotPcm: return "holds samples of an extensible WAV format other than PCM" + only;
    case WavProblem::NotSixteenBits: return "holds " + std::to_string(refusal.bitsPerSample) + "-bit samples" + only;
    case WavProblem::ReadFailed:
    case WavProblem::None: break;
    }
    return "is a WAV file varnel-cli cannot read";
}

std::string RefusalWords(const FormatRefusal& refusal, const RunPaths& paths, const std::string& functionName) {
    // "input 1 (x.wav)"
    const auto named = [&](RunFile file) {
        return "input " + std::to_string(file.input) + " (" + Shown(paths.Input(file.input)) + ")" +
               paths.ListedAt(file.input);
    };
    const std::string rawLimit = "; name a raw OUTPUT (not .wav) for more";
    const std::string orRaw = "; --raw reads it as raw samples";
    const std::string& path = refusal.file.IsOutput() ? paths.output : paths.Input(refusal.file.input);
    const NamesInUse inUse = FilesOf(paths);
    switch (refusal.problem) {
    case FormatProblem::BigEndianWavFile:
        return named(refusal.file) + " is a big-endian (RIFX) WAV file; varnel-cli reads little-endian ones";
    case FormatProblem::UnreadableWav:
        return named(refusal.file) + " " + Unreadable(refusal, path, inUse);
    case FormatProblem::OtherContainer:
        return named(refusal.file) + " " + ForeignContainerRefusal(refusal.container, path, inUse);
    case FormatProblem::RiffCutShort: return named(refusal.file) + " is a WAV header cut short" + orRaw;
    case FormatProblem::OtherRiffForm:
        return named(refusal.file) + " is a RIFF file of type '" +
               Shown(std::string(refusal.riffForm.begin(), refusal.riffForm.end())) + "', not a WAV file" + orRaw;
    case FormatProblem::DamagedRiffHeader:
        return named(refusal.file) + " is a WAV file whose header is damaged (as by a text conversion)" + orRaw;
    case FormatProblem::NotAsNamed: return named(refusal.file) + " " + NotAsNamedRefusal(path, inUse);
    case FormatProblem::RatesDiffer:
        return "the inputs' rates differ: " + named(refusal.file) + " " + std::to_string(refusal.rate) + " Hz, " +
               named(refusal.other) + " " + std::to_string(refusal.otherRate) + " Hz; convert one first (" +
               RateConversionCommand(paths.Input(refusal.other.input), refusal.rate, inUse) + ")";
    case FormatProblem::RateDiffersFromGiven:
        return "--rate " + std::to_string(refusal.otherRate) + " differs from " + named(refusal.file) + ", " +
               std::to_string(refusal.rate) + " Hz";
    case FormatProblem::StereoNeedsOneChannel:
        return "stereo needs two one-channel inputs: " + named(refusal.file) + " has " + Channels(refusal.channels) +
               "; convert it first (" + MonoConversionCommand(path, inUse) + ")";
    case FormatProblem::ChannelCountsDiffer:
        return functionName + " needs inputs of equal channel counts: " + named(refusal.file) + " has " +
               Channels(refusal.channels) + ", " + named(refusal.other) + " " + Channels(refusal.otherChannels);
    case FormatProblem::RateNeeded: return kRateNeeded;
    case FormatProblem::ByteRateTooHigh:
        return "a WAV file cannot hold " + Channels(refusal.channels) + " at " + std::to_string(refusal.rate) +
               " Hz: its bytes per second would pass 4 GiB";
    case FormatProblem::OutputCameTooLarge:
        return "the output came to " + std::to_string(refusal.bytes) +
               " bytes of samples, more than a WAV file can hold (" + std::to_string(refusal.limitBytes) + ")" +
               rawLimit;
    case FormatProblem::HeaderNotRewritable:
        return "the WAV header written first claims " + std::to_string(refusal.limitBytes) + " bytes of samples, " +
               std::to_string(refusal.bytes) + " came, and the output cannot be rewritten to say so";
    }
    return "the files do not make a run";
}

}  // namespace

Failure DescribeFileProblem(const FileProblem& problem, const RunPaths& paths) {
    const bool isOutput = problem.file.IsOutput();
    const int input = problem.file.input;
    Failure failure;
    failure.file = isOutput ? "output" : "input" + std::to_string(input);
    failure.path = isOutput ? paths.output : paths.Input(input);
    const FileCause cause = problem.failure.cause;
    const bool standard = failure.path == kStandardStream;

    std::string reason = IsFileSizeLimit(problem.failure) ? "the file would be too large" : CauseWords(cause);
    if ((cause == FileCause::generic || cause == FileCause::none) && problem.failure.osError > 0)
        reason += " (" + std::system_category().message(static_cast<int>(problem.failure.osError)) + ")";
    switch (problem.action) {
    case FileAction::Open:
        failure.code = std::string("open-") + CauseCode(cause);
        if (cause == FileCause::accessDenied && (isOutput ? paths.found.outputIsFolder : paths.InputIsFolder(input))) {
            failure.code = "open-is-folder";
            const std::string named =
                isOutput ? "OUTPUT " + Quoted(failure.path) : InputNamed(input, failure.path) + paths.ListedAt(input);
            failure.message = named + " is a folder, not a file";
            return failure;
        }
        if (isOutput && cause == FileCause::sharingViolation) {
            if (const int same = paths.found.inputThatIsOutput) {
                failure.code = "open-output-is-input";
                failure.message = (standard ? std::string("the standard output") : Quoted(failure.path)) +
                                  " is input " + std::to_string(same) + "; the output must be another file";
                return failure;
            }
        }
        if (isOutput && cause == FileCause::badPath && paths.found.outputFolderMissing)
            reason = "its folder does not exist";
        if (standard) reason = "the standard " + std::string(isOutput ? "output" : "input") + " cannot be used";
        failure.message =
            isOutput ? "cannot create " + (standard ? std::string("the standard output") : Quoted(failure.path))
                     : "cannot open " + InputNamed(input, failure.path) + paths.ListedAt(input);
        break;
    case FileAction::Read:
        failure.code = std::string("read-") + CauseCode(cause);
        failure.message = "cannot read " + InputNamed(input, failure.path) + paths.ListedAt(input);
        break;
    case FileAction::Write:
        failure.code = std::string("write-") + CauseCode(cause);
        failure.message = "cannot write " + (standard ? std::string("the standard output") : Quoted(failure.path));
        if (cause == FileCause::none) reason = "it could not be completed";
        break;
    }
    failure.message += ": " + reason;
    return failure;
}

bool IsUsageProblem(const RunFailure& failure) {
    const auto* refusal = std::get_if<FormatRefusal>(&failure);
    return refusal && refusal->problem == FormatProblem::RateNeeded;
}

Failure DescribeFailure(const RunFailure& failure, const RunPaths& paths, const std::string& functionName) {
    if (const auto* problem = std::get_if<FileProblem>(&failure)) return DescribeFileProblem(*problem, paths);
    if (const auto* refused = std::get_if<BufferRefused>(&failure)) {
        return {"out-of-memory", "not enough memory for sample buffer " + std::to_string(refused->buffer), "", ""};
    }
    const FormatRefusal& refusal = std::get<FormatRefusal>(failure);
    Failure described{"refused", RefusalWords(refusal, paths, functionName), "", ""};
    // A refusal of one file names it; one that compares two inputs names neither.
    const bool comparesTwo = refusal.other.input != 0;
    if (!comparesTwo && !refusal.file.IsOutput()) {
        described.file = "input" + std::to_string(refusal.file.input);
        described.path = paths.Input(refusal.file.input);
    } else if (!comparesTwo) {
        described.file = "output";
        described.path = paths.output;
    }
    return described;
}

}  // namespace varnel::cli
