#include "cli/SoundFileFormats.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace varnel::cli {
namespace {

constexpr std::uint16_t kFormatFloat = 3;

std::size_t Slot(int input) { return input == 1 ? 0 : 1; }

std::string Channels(std::uint16_t count) { return std::to_string(count) + (count == 1 ? " channel" : " channels"); }

// What a WAV file we cannot read holds, for "input 1 (x.wav) ...".
std::string Unreadable(const WavHeader& header) {
    const std::string only = "; varnel-cli reads 16-bit PCM WAV files only";
    switch (header.problem) {
    case WavProblem::CutShort: return "is a WAV file that ends before its samples begin";
    case WavProblem::NoFormatChunk: return "is a WAV file whose samples come before their format chunk";
    case WavProblem::BadFormatChunk: return "is a WAV file with a damaged format chunk";
    case WavProblem::NotPcm:
        if (header.formatTag == kFormatFloat) {
            return "holds " + std::to_string(header.bitsPerSample) + "-bit floating-point samples" + only;
        } else {
            char tag[8];
            std::snprintf(tag, sizeof tag, "0x%04X", header.formatTag);
            return std::string("holds compressed samples (WAV format ") + tag + ")" + only;
        }
    case WavProblem::ExtensibleNotPcm: return "holds samples of an extensible WAV format other than PCM" + only;
    case WavProblem::NotSixteenBits: return "holds " + std::to_string(header.bitsPerSample) + "-bit samples" + only;
    case WavProblem::ReadFailed:
    case WavProblem::None: break;
    }
    return {};
}

// The sample bytes the function will write, from the inputs' lengths, as
// the functions count them.
std::uint64_t ExpectedOutputBytes(ProcessFunction function, const InputLengths& lengths, bool pad) {
    const std::uint64_t paired =
        (pad ? std::max(lengths.input1, lengths.input2) : std::min(lengths.input1, lengths.input2)) / kBytesPerSample *
        kBytesPerSample;
    switch (function) {
    case ProcessFunction::Mono: return paired;
    case ProcessFunction::Stereo: return 2 * paired;
    case ProcessFunction::Join1To2:
    case ProcessFunction::Join2To1: return lengths.input1 + lengths.input2;
    case ProcessFunction::None: break;
    }
    return 0;
}

}  // namespace

bool NamesWavFile(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".wav";
}

SoundFileFormats::SoundFileFormats(const CliOptions& options) : m_options(options) {}

std::string SoundFileFormats::Named(int input) const {
    return "input " + std::to_string(input) + " (" + (input == 1 ? m_options.input1 : m_options.input2) + ")";
}

bool SoundFileFormats::OpenInputs(File& input1, File& input2, InputLengths& lengths, RunObserver& observer) {
    return ReadInputFormat(1, input1, lengths.input1, observer) &&
           ReadInputFormat(2, input2, lengths.input2, observer) && DecideOutput(lengths, observer);
}

bool SoundFileFormats::ReadInputFormat(int input, File& file, std::uint64_t& length, RunObserver& observer) {
    InputSamples& samples = m_samples[Slot(input)];
    StreamFormat& format = m_inputs[Slot(input)];
    samples.Attach(file);
    if (m_options.raw) return true;

    const std::string readFailed = "Reading Sound File " + std::to_string(input) + " Failed";
    std::uint8_t first[kRiffHeaderBytes];
    const auto got = file.Read(first, sizeof first);
    if (!got) {
        observer.ShowMessage(readFailed);
        return false;
    }
    switch (RiffKindOf(first, *got)) {
    case RiffKind::NotRiff:
        // A file on disk is read again from its start, so that its samples
        // are read at page-aligned offsets into page-aligned buffers, and
        // may be copied by the system whole; a stream hands them back.
        if (!file.IsDiskFile() || !file.Seek(0)) samples.HandBack(first, *got);
        return true;
    case RiffKind::WavRf64:
        observer.ShowMessage(Named(input) + " is an RF64 WAV file; varnel-cli reads WAV files of up to 4 GiB");
        return false;
    case RiffKind::WavBigEndian:
        observer.ShowMessage(Named(input) + " is a big-endian (RIFX) WAV file; varnel-cli reads little-endian ones");
        return false;
    case RiffKind::Wav: break;
    }

    const WavHeader header = ReadWavHeader(file);
    if (header.problem == WavProblem::ReadFailed) {
        observer.ShowMessage(readFailed);
        return false;
    }
    if (header.problem != WavProblem::None) {
        observer.ShowMessage(Named(input) + " " + Unreadable(header));
        return false;
    }
    format.wav = true;
    format.sampleRate = header.format.sampleRate;
    format.channels = header.format.channels;
    // A pipe's length is not known: its data chunk is taken at its word,
    // which for a stream is often just the most a WAV file can hold.
    std::uint64_t dataBytes = header.dataBytes;
    if (!file.IsDiskFile()) {
        m_inputLengthsKnown = false;
    } else if (length >= header.headerBytes && dataBytes > length - header.headerBytes) {
        format.cutShort = true;
        format.claimedBytes = dataBytes;
        dataBytes = length - header.headerBytes;
    }
    samples.StopAfter(dataBytes);
    length = dataBytes;
    return true;
}

bool SoundFileFormats::DecideOutput(const InputLengths& lengths, RunObserver& observer) {
    const StreamFormat& one = m_inputs[0];
    const StreamFormat& two = m_inputs[1];
    if (one.wav && two.wav && one.sampleRate != two.sampleRate) {
        observer.ShowMessage("the inputs' rates differ: " + Named(1) + " " + std::to_string(one.sampleRate) + " Hz, " +
                             Named(2) + " " + std::to_string(two.sampleRate) + " Hz");
        return false;
    }
    for (const int input : {1, 2}) {
        const StreamFormat& format = m_inputs[Slot(input)];
        if (format.wav && m_options.rate != 0 && format.sampleRate != m_options.rate) {
            observer.ShowMessage("--rate " + std::to_string(m_options.rate) + " differs from " + Named(input) + ", " +
                                 std::to_string(format.sampleRate) + " Hz");
            return false;
        }
    }
    const bool stereo = m_options.function == ProcessFunction::Stereo;
    for (const int input : {1, 2}) {
        const StreamFormat& format = m_inputs[Slot(input)];
        if (stereo && format.wav && format.channels != 1) {
            observer.ShowMessage("stereo needs two one-channel inputs: " + Named(input) + " has " +
                                 Channels(format.channels));
            return false;
        }
    }
    if (!stereo && one.wav && two.wav && one.channels != two.channels) {
        observer.ShowMessage(m_options.functionName + " needs inputs of equal channel counts: " + Named(1) + " has " +
                             Channels(one.channels) + ", " + Named(2) + " " + Channels(two.channels));
        return false;
    }

    // A raw input takes the format of a WAV input beside it; raw inputs
    // alone have the rate of --rate, when given, and one channel.
    const StreamFormat& wav = one.wav ? one : two;
    const std::uint32_t rate = wav.wav ? wav.sampleRate : m_options.rate;
    const std::uint16_t channels = wav.wav ? wav.channels : 1;
    for (StreamFormat& format : m_inputs) {
        if (format.wav || rate == 0) continue;
        format.sampleRate = rate;
        format.channels = channels;
    }
    m_output.wav = NamesWavFile(m_options.output);
    m_output.sampleRate = rate;
    m_output.channels = stereo ? 2 : channels;
    if (rate == 0) m_output.channels = stereo ? 2 : 0;
    if (!m_output.wav) return true;

    if (rate == 0) {
        m_usageError = "a WAV OUTPUT from raw inputs needs their rate: --rate HZ";
        return false;
    }
    const WavFormat outputFormat{m_output.sampleRate, m_output.channels};
    if (WavByteRate(outputFormat) > 0xFFFFFFFFu) {
        observer.ShowMessage("a WAV file cannot hold " + Channels(outputFormat.channels) + " at " +
                             std::to_string(rate) + " Hz: its bytes per second would pass 4 GiB");
        return false;
    }
    // With a pipe among the inputs the size is a guess, checked at the end.
    m_expectedOutputBytes = ExpectedOutputBytes(m_options.function, lengths, m_options.pad);
    if (m_expectedOutputBytes > kWavMaxDataBytes && m_inputLengthsKnown) {
        observer.ShowMessage("the output would hold " + std::to_string(m_expectedOutputBytes) +
                             " bytes of samples, more than a WAV file can (" + std::to_string(kWavMaxDataBytes) +
                             "); name a raw OUTPUT (not .wav) for more");
        return false;
    }
    return true;
}

ByteSink& SoundFileFormats::BeginOutput(File& output) {
    if (!m_output.wav) return output;
    const auto header = WavHeaderBytes({m_output.sampleRate, m_output.channels}, m_expectedOutputBytes);
    m_wavWriter.Begin(output, header.data(), header.size());
    return m_wavWriter;
}

bool SoundFileFormats::EndOutput(File& output, std::uint64_t sampleBytes, RunObserver& observer) {
    if (!m_output.wav) return true;
    if (!m_wavWriter.Finish()) return false;
    // Only pipes, or inputs that grew during the run, get here.
    if (sampleBytes > kWavMaxDataBytes) {
        observer.ShowMessage("the output came to " + std::to_string(sampleBytes) +
                             " bytes of samples, more than a WAV file can hold (" + std::to_string(kWavMaxDataBytes) +
                             "); name a raw OUTPUT (not .wav) for more");
        return false;
    }
    // RIFF pads a chunk of odd size: a join of a raw input that ends in an odd byte.
    const std::uint8_t pad = 0;
    if (sampleBytes % 2 && !output.Write(&pad, 1)) return false;
    if (sampleBytes == m_expectedOutputBytes) return true;
    // Inputs that changed during the run, or pipes, whose length is not
    // known in advance: the header is written again with the true sizes.
    if (!output.Seek(0)) {
        observer.ShowMessage("the WAV header written first claims " + std::to_string(m_expectedOutputBytes) +
                             " bytes of samples, " + std::to_string(sampleBytes) +
                             " came, and the output cannot be rewritten to say so");
        return false;
    }
    const auto header = WavHeaderBytes({m_output.sampleRate, m_output.channels}, sampleBytes);
    return output.Write(header.data(), header.size());
}

}  // namespace varnel::cli
