// What went wrong in a run, as data: which file, what was being done, and
// why. The run reports each failure in the order it meets them; the window
// turns them into its message boxes, the command line into its sentences and
// codes. No text meant for a user is made here.
#pragma once

#include <array>
#include <cstdint>
#include <variant>

#include "processing/FileFailure.h"
#include "processing/ForeignContainer.h"
#include "processing/WavFormat.h"

namespace varnel {

// A file of a run: input 1, 2, ... by its number, or the output.
struct RunFile {
    int input = 0;  // 1 for the first input; 0 for the output

    static constexpr RunFile Input(int number) { return RunFile{number}; }
    static constexpr RunFile Output() { return RunFile{0}; }
    constexpr bool IsOutput() const { return input == 0; }
    friend constexpr bool operator==(RunFile, RunFile) = default;
};

enum class FileAction {
    Open,
    Read,
    Write,  // a write, or the finished output that could not be put in place
};

// A file could not be opened, read or written: the cause and the OS error.
struct FileProblem {
    RunFile file;
    FileAction action = FileAction::Open;
    FileFailure failure;
};

// Memory refused one of the run's sample buffers: 1 and 2 hold the inputs'
// chunks, 3 the stereo frames.
struct BufferRefused {
    int buffer = 0;
};

// Why the sound files do not make a run, found before the output is
// created unless said otherwise.
enum class FormatProblem {
    BigEndianWavFile,       // `file` is a RIFX WAV file
    UnreadableWav,          // `file`'s header: `wav`, `formatTag`, `bitsPerSample`
    OtherContainer,         // `file` is a sound file of another `container`
    RiffCutShort,           // `file` begins with "RIFF" and ends before its form type does
    OtherRiffForm,          // `file` is a RIFF file of the form type `riffForm`, not "WAVE"
    DamagedRiffHeader,      // `file` is a RIFF file whose form type is damaged (RiffKind::Damaged)
    NotAsNamed,             // `file` is named as a sound file (SoundFileChoices) and holds no header of one
    RatesDiffer,            // `file` has `rate`, `other` has `otherRate`
    RateDiffersFromGiven,   // `file` has `rate`; the raw inputs' rate given is `otherRate`
    StereoNeedsOneChannel,  // `file` has `channels`
    ChannelCountsDiffer,    // `file` has `channels`, `other` has `otherChannels`
    RateNeeded,             // a WAV output from raw inputs whose rate was not given
    ByteRateTooHigh,        // a WAV output of `channels` at `rate` Hz: over 32 bits a second
    OutputCameTooLarge,     // after writing: the output came to `bytes`, past `limitBytes`
    HeaderNotRewritable,    // after writing: the header claims `limitBytes`, `bytes` came
};

struct FormatRefusal {
    FormatProblem problem = FormatProblem::UnreadableWav;
    RunFile file;   // the input concerned, or the output
    RunFile other;  // the other input, where two are compared
    WavProblem wav = WavProblem::None;
    ForeignContainer container = ForeignContainer::None;
    std::array<char, 4> riffForm = {};
    std::uint16_t formatTag = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t rate = 0;
    std::uint32_t otherRate = 0;
    std::uint16_t channels = 0;
    std::uint16_t otherChannels = 0;
    std::uint64_t bytes = 0;
    std::uint64_t limitBytes = 0;
};

using RunFailure = std::variant<FileProblem, BufferRefused, FormatRefusal>;

}  // namespace varnel
