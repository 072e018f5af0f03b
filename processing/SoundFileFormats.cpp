#include "processing/SoundFileFormats.h"

#include <algorithm>
#include <cctype>

namespace varnel {
namespace {

FormatRefusal Refusal(FormatProblem problem, RunFile file) {
    FormatRefusal refusal;
    refusal.problem = problem;
    refusal.file = file;
    return refusal;
}

// The speakers WAV inputs name for their channels, when they agree; else
// nothing, and the output gets the usual ones for its channel count.
std::uint32_t SpeakersOf(const std::vector<StreamFormat>& inputs) {
    std::uint32_t named = 0;
    for (const StreamFormat& input : inputs) {
        if (named && input.channelMask && input.channelMask != named) return 0;
        if (input.channelMask) named = input.channelMask;
    }
    return named;
}

}  // namespace

bool NamesWavFile(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ending = path.substr(path.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".wav";
}

std::optional<RunFailure> SoundFileFormats::AcceptInput(int number, File& file, std::uint64_t& length) {
    if (m_samples.size() < static_cast<std::size_t>(number)) {
        m_samples.resize(static_cast<std::size_t>(number));
        m_inputs.resize(static_cast<std::size_t>(number));
        m_lengths.resize(static_cast<std::size_t>(number));
    }
    auto refusal = Accept(number, file, length);
    m_lengths.at(Slot(number)) = length;
    return refusal;
}

std::optional<RunFailure> SoundFileFormats::Accept(int number, File& file, std::uint64_t& length) {
    InputSamples& samples = m_samples.at(Slot(number));
    StreamFormat& format = m_inputs.at(Slot(number));
    samples.Attach(file);
    // A pipe measures 0 whatever it holds, raw samples or WAV.
    if (!file.IsDiskFile()) m_inputLengthsKnown = false;
    if (m_choices.readRaw) return std::nullopt;

    const RunFile input = RunFile::Input(number);
    const auto readFailure = [&]() -> RunFailure { return FileProblem{input, FileAction::Read, file.LastFailure()}; };
    std::uint8_t first[std::max(kRiffSniffBytes, kForeignContainerSniffBytes)];
    const auto got = file.Read(first, sizeof first);
    if (!got) return readFailure();
    if (const ForeignContainer other = ForeignContainerOf(first, *got); other != ForeignContainer::None) {
        FormatRefusal refusal = Refusal(FormatProblem::OtherContainer, input);
        refusal.container = other;
        return refusal;
    }
    const RiffKind kind = RiffKindOf(first, *got);
    switch (kind) {
    case RiffKind::NotRiff:
        if (Slot(number) < m_choices.inputsNamedAsSoundFiles.size() && m_choices.inputsNamedAsSoundFiles[Slot(number)])
            return Refusal(FormatProblem::NotAsNamed, input);
        // A file on disk is read again from its start, so that its samples
        // are read at page-aligned offsets into page-aligned buffers, and
        // may be copied by the system whole; a stream hands them back.
        if (!file.IsDiskFile() || !file.Seek(0)) samples.HandBack(first, *got);
        return std::nullopt;
    case RiffKind::WavBigEndian: return Refusal(FormatProblem::BigEndianWavFile, input);
    case RiffKind::CutShort: return Refusal(FormatProblem::RiffCutShort, input);
    case RiffKind::Damaged: return Refusal(FormatProblem::DamagedRiffHeader, input);
    case RiffKind::OtherForm: {
        FormatRefusal refusal = Refusal(FormatProblem::OtherRiffForm, input);
        std::copy(first + 8, first + 12, refusal.riffForm.begin());
        return refusal;
    }
    case RiffKind::Wav:
    case RiffKind::WavRf64: break;
    }
    const bool rf64 = kind == RiffKind::WavRf64;

    // What was read past the RIFF header begins its first chunk.
    samples.HandBack(first + kRiffHeaderBytes, *got - kRiffHeaderBytes);
    const WavHeader header = ReadWavHeader(samples, rf64);
    if (header.problem == WavProblem::ReadFailed) return readFailure();
    if (header.problem != WavProblem::None) {
        FormatRefusal refusal = Refusal(FormatProblem::UnreadableWav, input);
        refusal.wav = header.problem;
        refusal.formatTag = header.formatTag;
        refusal.bitsPerSample = header.bitsPerSample;
        return refusal;
    }
    format.wav = true;
    format.rf64 = rf64;
    format.sampleRate = header.format.sampleRate;
    format.channels = header.format.channels;
    format.channelMask = header.format.channelMask;
    // A pipe's length is not known: its data chunk is taken at its word,
    // which for a stream is often just the most a WAV file can hold.
    std::uint64_t dataBytes = header.dataBytes;
    if (file.IsDiskFile() && length >= header.headerBytes && dataBytes > length - header.headerBytes) {
        format.cutShort = true;
        format.claimedBytes = dataBytes;
        dataBytes = length - header.headerBytes;
    }
    samples.StopAfter(dataBytes);
    length = dataBytes;
    return std::nullopt;
}

std::optional<RunFailure> SoundFileFormats::DecideOutput() {
    // Each WAV input is compared with the first WAV input.
    const auto firstWav = std::find_if(m_inputs.begin(), m_inputs.end(), [](const StreamFormat& f) { return f.wav; });
    const int firstNumber = static_cast<int>(firstWav - m_inputs.begin()) + 1;
    // The first later WAV input whose `property` differs from the first's; 0 when none.
    const auto differing = [&](auto StreamFormat::*property) {
        for (int number = firstNumber + 1; number <= static_cast<int>(m_inputs.size()); ++number) {
            const StreamFormat& format = m_inputs[Slot(number)];
            if (format.wav && format.*property != (*firstWav).*property) return number;
        }
        return 0;
    };
    if (const int number = differing(&StreamFormat::sampleRate)) {
        FormatRefusal refusal = Refusal(FormatProblem::RatesDiffer, RunFile::Input(firstNumber));
        refusal.other = RunFile::Input(number);
        refusal.rate = firstWav->sampleRate;
        refusal.otherRate = m_inputs[Slot(number)].sampleRate;
        return refusal;
    }
    for (int number = 1; number <= static_cast<int>(m_inputs.size()); ++number) {
        const StreamFormat& format = m_inputs[Slot(number)];
        if (format.wav && m_choices.rawRate != 0 && format.sampleRate != m_choices.rawRate) {
            FormatRefusal refusal = Refusal(FormatProblem::RateDiffersFromGiven, RunFile::Input(number));
            refusal.rate = format.sampleRate;
            refusal.otherRate = m_choices.rawRate;
            return refusal;
        }
    }
    const bool stereo = m_choices.function == ProcessFunction::Stereo;
    for (int number = 1; number <= static_cast<int>(m_inputs.size()); ++number) {
        const StreamFormat& format = m_inputs[Slot(number)];
        if (stereo && format.wav && format.channels != 1) {
            FormatRefusal refusal = Refusal(FormatProblem::StereoNeedsOneChannel, RunFile::Input(number));
            refusal.channels = format.channels;
            return refusal;
        }
    }
    if (const int number = stereo ? 0 : differing(&StreamFormat::channels)) {
        FormatRefusal refusal = Refusal(FormatProblem::ChannelCountsDiffer, RunFile::Input(firstNumber));
        refusal.other = RunFile::Input(number);
        refusal.channels = firstWav->channels;
        refusal.otherChannels = m_inputs[Slot(number)].channels;
        return refusal;
    }

    // A raw input takes the format of a WAV input beside it; raw inputs
    // alone have the rate given for them, if any, and one channel.
    const bool anyWav = firstWav != m_inputs.end();
    const std::uint32_t rate = anyWav ? firstWav->sampleRate : m_choices.rawRate;
    const std::uint16_t channels = anyWav ? firstWav->channels : 1;
    for (StreamFormat& format : m_inputs) {
        if (format.wav || rate == 0) continue;
        format.sampleRate = rate;
        format.channels = channels;
    }
    m_output.wav = m_choices.wavOutput;
    m_output.sampleRate = rate;
    m_output.channels = stereo ? 2 : channels;
    if (!stereo) m_output.channelMask = SpeakersOf(m_inputs);
    if (rate == 0) m_output.channels = stereo ? 2 : 0;
    if (!m_output.wav) return std::nullopt;

    if (rate == 0) return Refusal(FormatProblem::RateNeeded, RunFile::Output());
    const WavFormat outputFormat = OutputWavFormat();
    if (WavByteRate(outputFormat) > 0xFFFFFFFFu) {
        FormatRefusal refusal = Refusal(FormatProblem::ByteRateTooHigh, RunFile::Output());
        refusal.rate = rate;
        refusal.channels = outputFormat.channels;
        return refusal;
    }
    // With a pipe among the inputs the size is a guess, corrected at the end.
    m_expectedOutputBytes = OutputBytesFor(m_choices.function, m_lengths, m_choices.pad);
    return std::nullopt;
}

WavFormat SoundFileFormats::OutputWavFormat() const {
    return {m_output.sampleRate, m_output.channels, m_output.channelMask};
}

ByteSink& SoundFileFormats::BeginOutput(File& output) {
    if (!m_output.wav) return output;
    // A header written into a pipe, or into a file opened for appending,
    // cannot be corrected at the end: where the inputs' lengths are not
    // known, it says that the stream's is not. Where it can be, it keeps
    // room for the 64-bit sizes the end may need.
    m_streaming = !m_inputLengthsKnown && !output.CanRewrite();
    m_sizes = m_inputLengthsKnown ? WavSizes::Fitted : WavSizes::Reserved;
    m_header = m_streaming ? StreamingWavHeaderBytes(OutputWavFormat())
                           : WavHeaderBytes(OutputWavFormat(), m_expectedOutputBytes, m_sizes);
    m_output.rf64 = !m_streaming && m_expectedOutputBytes > WavMaxDataBytes(OutputWavFormat(), m_sizes);
    m_wavWriter.Begin(output, m_header.data(), m_header.size());
    return m_wavWriter;
}

std::optional<RunFailure> SoundFileFormats::EndOutput(File& output, std::uint64_t sampleBytes) {
    if (!m_output.wav) return std::nullopt;
    const auto failedWrite = [&]() -> RunFailure {
        return FileProblem{RunFile::Output(), FileAction::Write, output.LastFailure()};
    };
    if (!m_wavWriter.Finish()) return failedWrite();
    // A stream claims no length: its readers take what comes.
    if (m_streaming) return std::nullopt;
    // Pipes, or inputs that changed length during the run, give the header
    // other sizes, in a header of the length written first: a reserved one
    // becomes whichever the sizes need; an RF64 one written for a known
    // size stays RF64 for fewer bytes; a canonical one cannot grow into
    // RF64 (inputs that grew past 4 GiB while the run read them).
    const WavFormat format = OutputWavFormat();
    const bool keepRf64 = m_sizes == WavSizes::Fitted && m_output.rf64;
    const std::uint64_t rf64From = keepRf64 ? 0 : WavMaxDataBytes(format, m_sizes) + 1;
    if (m_sizes == WavSizes::Fitted && !keepRf64 && sampleBytes >= rf64From) {
        FormatRefusal refusal = Refusal(FormatProblem::OutputCameTooLarge, RunFile::Output());
        refusal.bytes = sampleBytes;
        refusal.limitBytes = WavMaxDataBytes(format, m_sizes);
        return refusal;
    }
    // RIFF pads a chunk of odd size: a join of a raw input that ends in an odd byte.
    const std::uint8_t pad = 0;
    if (sampleBytes % 2 && !output.Write(&pad, 1)) return failedWrite();
    const auto header = WavHeaderBytesRf64From(format, sampleBytes, m_sizes, rf64From);
    m_output.rf64 = sampleBytes >= rf64From;
    if (header == m_header) return std::nullopt;
    // The header is written again with the true sizes, where this run's
    // output began.
    if (!output.CanRewrite() || !output.Seek(0)) {
        FormatRefusal refusal = Refusal(FormatProblem::HeaderNotRewritable, RunFile::Output());
        refusal.bytes = sampleBytes;
        refusal.limitBytes = m_expectedOutputBytes;
        return refusal;
    }
    if (!output.Write(header.data(), header.size())) return failedWrite();
    return std::nullopt;
}

}  // namespace varnel
