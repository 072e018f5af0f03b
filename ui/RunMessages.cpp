#include "ui/RunMessages.h"

#include <array>
#include <cstdio>
#include <utility>

namespace varnel {
namespace {

// What a failed output open shows first, tested in this order; the text of
// every cause not listed is left to the closing message.
constexpr std::array<std::pair<FileCause, const char*>, 12> kOutputOpenCauseMessages{{
    {FileCause::generic, "generic"},
    {FileCause::badPath, "badPath "},
    {FileCause::tooManyOpenFiles, "tooManyOpenFiles "},
    {FileCause::invalidFile, "invalidFile"},
    {FileCause::removeCurrentDir, "removeCurrentDir "},
    {FileCause::directoryFull, "directoryFull "},
    {FileCause::diskFull, "diskFull "},
    {FileCause::sharingViolation, "sharingViolation "},
    {FileCause::lockViolation, "lockViolation "},
    {FileCause::accessDenied, "accessDenied "},
    {FileCause::hardIO, "IO Error"},
    {FileCause::badSeek, "Error Set Pointer"},
}};

constexpr char kOutputNotCreated[] = "The Output Sound File was not created";

std::vector<std::string> OutputOpenTexts(FileCause cause) {
    std::vector<std::string> texts;
    for (const auto& [listed, text] : kOutputOpenCauseMessages) {
        if (cause == listed) {
            texts.emplace_back(text);
            break;
        }
    }
    texts.emplace_back(cause == FileCause::endOfFile ? "endOfFile" : kOutputNotCreated);
    return texts;
}

std::string SoundFileName(RunFile file) { return "Sound File " + std::to_string(file.input); }

std::vector<std::string> FileProblemTexts(const FileProblem& problem) {
    if (problem.file.IsOutput()) {
        if (problem.action == FileAction::Open) return OutputOpenTexts(problem.failure.cause);
        return {"Writing The Output Sound File Failed"};
    }
    const std::string name = SoundFileName(problem.file);
    if (problem.action == FileAction::Read) return {"Reading " + name + " Failed"};
    if (problem.failure.cause == FileCause::fileNotFound) return {name + " Not Found"};
    return {"Opening " + name + " Failed"};
}

// The files of a sound that the window cannot use are named with the path
// the user gave, in sentences of their own.
constexpr char kReadable[] = "Varnel reads raw 16-bit samples and 16-bit PCM WAV files";

std::string Named(RunFile file, const WindowRunPaths& paths) {
    if (file.IsOutput()) return "The Output Sound File (" + paths.outputFile + ")";
    return SoundFileName(file) + " (" + (file.input == 1 ? paths.soundFile1 : paths.soundFile2) + ")";
}

std::string Channels(std::uint16_t count) { return std::to_string(count) + (count == 1 ? " channel" : " channels"); }

const char* FunctionName(ProcessFunction function) {
    switch (function) {
    case ProcessFunction::Mono: return "Merge : Mono";
    case ProcessFunction::Stereo: return "Merge : Stereo";
    case ProcessFunction::Join1To2: return "Join File 1 --> File 2";
    case ProcessFunction::Join2To1: return "Join File2 --> File 1";
    case ProcessFunction::None: break;
    }
    return "The function";
}

const char* ContainerName(ForeignContainer container) {
    switch (container) {
    case ForeignContainer::Aiff: return "an AIFF";
    case ForeignContainer::AiffC: return "an AIFF-C";
    case ForeignContainer::SunAu: return "a Sun/NeXT AU";
    case ForeignContainer::Flac: return "a FLAC";
    case ForeignContainer::Ogg: return "an Ogg";
    case ForeignContainer::Caf: return "a CAF";
    case ForeignContainer::Wave64: return "a Wave64";
    case ForeignContainer::Mp3: return "an MP3";
    case ForeignContainer::None: break;
    }
    return "another kind of";
}

// What a WAV file the window cannot read holds, after its name.
std::string UnreadableWav(const FormatRefusal& refusal) {
    constexpr std::uint16_t kFormatFloat = 3;
    const std::string convert = std::string("; ") + kReadable + ": convert it first.";
    switch (refusal.wav) {
    case WavProblem::CutShort: return "is a WAV file that ends before its samples begin.";
    case WavProblem::NoFormatChunk: return "is a WAV file whose samples come before their format chunk.";
    case WavProblem::BadFormatChunk: return "is a WAV file with a damaged format chunk.";
    case WavProblem::NotPcm:
        if (refusal.formatTag == kFormatFloat) {
            return "holds " + std::to_string(refusal.bitsPerSample) + "-bit floating-point samples" + convert;
        } else {
            char tag[8];
            std::snprintf(tag, sizeof tag, "0x%04X", refusal.formatTag);
            return std::string("holds compressed samples (WAV format ") + tag + ")" + convert;
        }
    case WavProblem::ExtensibleNotPcm: return "holds samples of an extensible WAV format other than PCM" + convert;
    case WavProblem::NotSixteenBits: return "holds " + std::to_string(refusal.bitsPerSample) + "-bit samples" + convert;
    case WavProblem::ReadFailed:
    case WavProblem::None: break;
    }
    return "is a WAV file that Varnel cannot read.";
}

std::string RefusalText(const FormatRefusal& refusal, const WindowRunPaths& paths) {
    const std::string file = Named(refusal.file, paths);
    const std::string wavLimit = "; name an output that does not end in .wav for more.";
    switch (refusal.problem) {
    case FormatProblem::BigEndianWavFile:
        return file + " is a big-endian (RIFX) WAV file; Varnel reads little-endian ones.";
    case FormatProblem::UnreadableWav: return file + " " + UnreadableWav(refusal);
    case FormatProblem::OtherContainer:
        return file + " is " + ContainerName(refusal.container) + " file; " + kReadable + ": convert it first.";
    case FormatProblem::RiffCutShort: return file + " is a WAV header cut short.";
    case FormatProblem::OtherRiffForm:
        return file + " is a RIFF file of type '" + std::string(refusal.riffForm.begin(), refusal.riffForm.end()) +
               "', not a WAV file.";
    case FormatProblem::DamagedRiffHeader:
        return file + " is a WAV file whose header is damaged (as by a text conversion).";
    case FormatProblem::RatesDiffer:
        return "The sound files' rates differ: " + file + " has " + std::to_string(refusal.rate) + " Hz, " +
               Named(refusal.other, paths) + " " + std::to_string(refusal.otherRate) + " Hz.";
    case FormatProblem::StereoNeedsOneChannel:
        return "Merge : Stereo needs two one-channel sound files: " + file + " has " + Channels(refusal.channels) + ".";
    case FormatProblem::ChannelCountsDiffer:
        return std::string(FunctionName(paths.function)) + " needs sound files of equal channel counts: " + file +
               " has " + Channels(refusal.channels) + ", " + Named(refusal.other, paths) + " " +
               Channels(refusal.otherChannels) + ".";
    case FormatProblem::ByteRateTooHigh:
        return file + " cannot be a WAV file of " + Channels(refusal.channels) + " at " + std::to_string(refusal.rate) +
               " Hz: its bytes per second would pass 4 GiB.";
    case FormatProblem::OutputCameTooLarge:
        return file + " came to " + std::to_string(refusal.bytes) +
               " bytes of samples, more than a WAV file can hold (" + std::to_string(refusal.limitBytes) + ")" +
               wavLimit;
    case FormatProblem::HeaderNotRewritable:
        return "The WAV header of the Output Sound File (" + paths.outputFile + ") claims " +
               std::to_string(refusal.limitBytes) + " bytes of samples, " + std::to_string(refusal.bytes) +
               " came, and it could not be rewritten to say so.";
    // The window asks for no rate: only WAV inputs can give a WAV output one.
    case FormatProblem::RateNeeded:
        return paths.outputFile +
               " is named as a WAV file, but both inputs are raw samples, which carry no rate: name the output "
               ".pcm, or use WAV inputs.";
    // The window gives no rate of its own, so this cannot be met; and it
    // takes no name for a sound file's format.
    case FormatProblem::RateDiffersFromGiven:
    case FormatProblem::NotAsNamed: break;
    }
    if (refusal.file.IsOutput()) return kOutputNotCreated;
    return "Opening " + SoundFileName(refusal.file) + " Failed";
}

}  // namespace

std::vector<std::string> WindowTexts(const RunFailure& failure, const WindowRunPaths& paths) {
    if (const auto* problem = std::get_if<FileProblem>(&failure)) return FileProblemTexts(*problem);
    if (const auto* refused = std::get_if<BufferRefused>(&failure)) {
        return {"Insufficient memory available for buffer " + std::to_string(refused->buffer) + "\n"};
    }
    return {RefusalText(std::get<FormatRefusal>(failure), paths)};
}

}  // namespace varnel
