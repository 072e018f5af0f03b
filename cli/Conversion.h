// What varnel-cli says of an input it does not read but SoX converts: the
// name of its container, and the SoX command that makes of it a file
// varnel-cli reads, worded for the input as the user named it.
#pragma once

#include <string>

#include "processing/ForeignContainer.h"

namespace varnel::cli {

// "is a FLAC file; varnel-cli reads raw 16-bit samples and 16-bit PCM WAV
// files: convert it first (sox take.flac -b 16 take.wav), or give --raw to
// take its bytes as samples", for "input 1 (take.flac) " to stand before.
std::string ForeignContainerRefusal(ForeignContainer container, const std::string& path);

// "varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: convert it
// first (sox deep.wav -b 16 deep-16bit.wav)", for a WAV input `path` that
// holds other samples.
std::string WavConversionAdvice(const std::string& path);

}  // namespace varnel::cli
