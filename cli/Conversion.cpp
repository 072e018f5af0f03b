#include "cli/Conversion.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "cli/CommandLine.h"
#include "processing/SoundFileFormats.h"

namespace varnel::cli {
namespace {

struct ContainerWords {
    const char* name;     // "is a FLAC file", "is an AIFF file"
    const char* soxType;  // SoX's name of the type, for a stream that has no file name
};

ContainerWords WordsFor(ForeignContainer container) {
    switch (container) {
    case ForeignContainer::Aiff: return {"an AIFF", "aiff"};
    case ForeignContainer::AiffC: return {"an AIFF-C", "aifc"};
    case ForeignContainer::SunAu: return {"a Sun/NeXT AU", "au"};
    case ForeignContainer::Flac: return {"a FLAC", "flac"};
    case ForeignContainer::Ogg: return {"an Ogg", "ogg"};
    case ForeignContainer::Caf: return {"a CAF", "caf"};
    case ForeignContainer::Wave64: return {"a Wave64", "w64"};
    case ForeignContainer::Mp3: return {"an MP3", "mp3"};
    case ForeignContainer::None: break;
    }
    return {"another kind of", ""};
}

// The name of the converted file: the input's with ".wav" for its
// extension, or "-16bit.wav" added to a WAV input's stem, so that SoX never
// writes over the input it reads.
std::string ConvertedName(const std::string& path) {
    const std::size_t folder = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    return stem + (NamesWavFile(path) ? "-16bit.wav" : ".wav");
}

// A name as a shell takes it, in the POSIX shells and the Windows Command
// Prompt alike: as it is when it holds only characters neither treats
// specially, else in double quotes.
std::string ForShell(std::string name) {
    // SoX would take a name that starts with "-" for an option.
    if (name.size() > 1 && name[0] == '-') name = "./" + name;
    const bool plain = std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c >= 0x80 ||
               std::string_view("_./:\\+@-").find(static_cast<char>(c)) != std::string_view::npos;
    });
    return plain && !name.empty() ? name : "\"" + name + "\"";
}

std::string SoxCommand(const std::string& path, const char* soxType) {
    if (path == kStandardStream) return std::string("sox -t ") + soxType + " - -b 16 -t wav -";
    return "sox " + ForShell(path) + " -b 16 " + ForShell(ConvertedName(path));
}

std::string ConvertItFirst(const std::string& path, const char* soxType) {
    return "varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: convert it first (" +
           SoxCommand(path, soxType) + ")";
}

}  // namespace

std::string ForeignContainerRefusal(ForeignContainer container, const std::string& path) {
    const ContainerWords words = WordsFor(container);
    return std::string("is ") + words.name + " file; " + ConvertItFirst(path, words.soxType) +
           ", or give --raw to take its bytes as samples";
}

std::string WavConversionAdvice(const std::string& path) { return ConvertItFirst(path, "wav"); }

}  // namespace varnel::cli
