// The command line's sound files: raw samples or WAV. Each input is judged
// by its content (a RIFF/WAVE header makes it WAV) unless --raw is given;
// the output is WAV when its name ends in ".wav". The inputs' formats must
// agree with each other and with the function, and a refusal comes before
// the output is created. After a WAV input's header the run reads its data
// chunk exactly as a raw file; a WAV output gets its header first and is
// corrected at the end when the samples came to another length.
#pragma once

#include <array>
#include <string>

#include "processing/BlockAlignedWriter.h"
#include "cli/CommandLine.h"
#include "processing/InputSamples.h"
#include "processing/StreamFormat.h"
#include "processing/ProcessingRun.h"
#include "processing/WavFormat.h"

namespace varnel::cli {

class SoundFileFormats final : public SoundContainer {
public:
    explicit SoundFileFormats(const CliOptions& options);

    bool OpenInputs(File& input1, File& input2, InputLengths& lengths, RunObserver& observer) override;
    ByteSource& Samples(int input) override { return m_samples[input == 1 ? 0 : 1]; }
    ByteSink& BeginOutput(File& output) override;
    bool EndOutput(File& output, std::uint64_t sampleBytes, RunObserver& observer) override;

    const StreamFormat& Input(int input) const { return m_inputs[input == 1 ? 0 : 1]; }
    const StreamFormat& Output() const { return m_output; }
    // Set when the files showed the command line to be incomplete (a WAV
    // OUTPUT from raw inputs without --rate); the run was refused.
    const std::string& UsageError() const { return m_usageError; }

private:
    bool ReadInputFormat(int input, File& file, std::uint64_t& length, RunObserver& observer);
    bool DecideOutput(const InputLengths& lengths, RunObserver& observer);
    std::string Named(int input) const;

    const CliOptions& m_options;
    std::array<InputSamples, 2> m_samples;
    std::array<StreamFormat, 2> m_inputs;
    StreamFormat m_output;
    bool m_inputLengthsKnown = true;  // no pipe among the inputs
    std::uint64_t m_expectedOutputBytes = 0;
    BlockAlignedWriter m_wavWriter;
    std::string m_usageError;
};

// Whether OUTPUT is to be written as WAV: its name ends in ".wav", any case.
bool NamesWavFile(const std::string& path);

}  // namespace varnel::cli
