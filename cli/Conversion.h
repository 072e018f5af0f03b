// What varnel-cli says of an input it does not read but a converter does:
// what the input is, by its first bytes or, where they tell nothing, by its
// name, and the command that makes of it a file varnel-cli reads, worded for
// the input as the user named it. SoX converts most formats; ffmpeg those
// that Debian's SoX has no handler for (MP3, AAC and M4A, Opus, WMA). Every
// command writes a new file: one that does not exist and is none of the
// run's files, so that following the advice never costs a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processing/ForeignContainer.h"

namespace varnel::cli {

// The files of the run, inputs and output as given: names a command must
// not write, even where they do not exist yet.
using NamesInUse = std::vector<std::string>;

// "is a FLAC file; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV
// files: convert it first (sox take.flac -b 16 take-16bit.wav), or give
// --raw to take its bytes as samples", for "input 1 (take.flac) " to stand
// before.
std::string ForeignContainerRefusal(ForeignContainer container, const std::string& path, const NamesInUse& inUse);

// "varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: convert it
// first (sox deep.wav -b 16 deep-16bit.wav)", for a WAV input `path` that
// holds other samples.
std::string WavConversionAdvice(const std::string& path, const NamesInUse& inUse);

// Whether `path` is named as a sound file of a format known here: .wav,
// .mp3, .flac, .ogg, .opus, .m4a, .aac, .wma, .aif, .aiff, .aifc, .au, .snd,
// .caf or .w64, in any case.
bool NamesSoundFile(const std::string& path);

// What is said of an input named as a sound file that holds no header
// varnel-cli knows: "holds no WAV header; --raw reads it as raw samples"
// for take.wav; for take.mp3 "is named as an MP3 file; varnel-cli reads ...:
// convert it first (ffmpeg -i take.mp3 -c:a pcm_s16le take-16bit.wav), or
// give --raw to take its bytes as samples".
std::string NotAsNamedRefusal(const std::string& path, const NamesInUse& inUse);

// "sox b.wav -r 22050 b-22050hz.wav": a WAV input at another rate.
std::string RateConversionCommand(const std::string& path, std::uint32_t rate, const NamesInUse& inUse);

// "sox x.wav -c 1 x-mono.wav": a WAV input's channels mixed into one.
std::string MonoConversionCommand(const std::string& path, const NamesInUse& inUse);

}  // namespace varnel::cli
