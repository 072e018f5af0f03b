// Sound files that are raw samples or WAV. Each input is judged by its
// content (a RIFF/WAVE header makes it WAV; any other RIFF file, and a sound
// file of another container, is refused) unless every input is to be read
// raw; the output is WAV when its client says so. The inputs' formats must
// agree with each other and with the function, and a refusal comes before
// the output is created. After a WAV input's header the run reads its data
// chunk exactly as a raw file; a WAV output gets its header first (RF64
// past 4 GiB) and is corrected at the end when the samples came to another
// length.
#pragma once

#include <string>
#include <vector>

#include "fastio/BlockAlignedWriter.h"
#include "processing/ForeignContainer.h"
#include "processing/InputSamples.h"
#include "processing/ProcessingRun.h"
#include "processing/StreamFormat.h"
#include "processing/WavFormat.h"

namespace varnel {

struct SoundFileChoices {
    ProcessFunction function = ProcessFunction::None;
    bool readRaw = false;       // every input read as raw samples, a header included
    std::uint32_t rawRate = 0;  // the rate of raw inputs; 0 when not known
    bool pad = false;           // mono and stereo cover the longer input
    bool wavOutput = false;     // the output is written as WAV
    // Input N at N - 1, for a client that takes names at their word: an
    // input whose name says it is a sound file (of any format) and which
    // holds no header this side knows is refused, not read as raw samples.
    std::vector<bool> inputsNamedAsSoundFiles = {};
};

// Whether a file's name asks for a WAV file: it ends in ".wav", any case.
bool NamesWavFile(const std::string& path);

class SoundFileFormats final : public SoundContainer {
public:
    explicit SoundFileFormats(const SoundFileChoices& choices) : m_choices(choices) {}

    std::optional<RunFailure> AcceptInput(int number, File& input, std::uint64_t& length) override;
    std::optional<RunFailure> DecideOutput() override;
    ByteSource& Samples(int number) override { return m_samples.at(Slot(number)); }
    ByteSink& BeginOutput(File& output) override;
    std::optional<RunFailure> EndOutput(File& output, std::uint64_t sampleBytes) override;

    // What input `number` is: nothing known for one that was not accepted.
    const StreamFormat& Input(int number) const {
        static const StreamFormat unknown;
        return Slot(number) < m_inputs.size() ? m_inputs[Slot(number)] : unknown;
    }
    int InputCount() const { return static_cast<int>(m_inputs.size()); }
    const StreamFormat& Output() const { return m_output; }

private:
    static std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }
    std::optional<RunFailure> Accept(int number, File& input, std::uint64_t& length);
    WavFormat OutputWavFormat() const;

    SoundFileChoices m_choices;
    // Input N at N - 1, as many as the run has.
    std::vector<InputSamples> m_samples;
    std::vector<StreamFormat> m_inputs;
    std::vector<std::uint64_t> m_lengths;  // of their samples
    StreamFormat m_output;
    bool m_inputLengthsKnown = true;  // no pipe among the inputs
    std::uint64_t m_expectedOutputBytes = 0;
    bool m_streaming = false;  // a WAV output into a pipe, of a length not known
    WavSizes m_sizes = WavSizes::Fitted;
    std::vector<std::uint8_t> m_header;  // as written first
    BlockAlignedWriter m_wavWriter;
};

}  // namespace varnel
