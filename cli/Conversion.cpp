#include "cli/Conversion.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "cli/CommandLine.h"

namespace varnel::cli {
namespace {

enum class Converter { Sox, Ffmpeg };

struct SoundFormat {
    const char* name;  // "an MP3", for "is an MP3 file"
    Converter converter;
    const char* soxType;  // SoX's name of the type, for a stream that has no file name
};

constexpr SoundFormat kWav{"a WAV", Converter::Sox, "wav"};
constexpr SoundFormat kMp3{"an MP3", Converter::Ffmpeg, ""};
constexpr SoundFormat kFlac{"a FLAC", Converter::Sox, "flac"};
constexpr SoundFormat kOgg{"an Ogg", Converter::Sox, "ogg"};
constexpr SoundFormat kAiff{"an AIFF", Converter::Sox, "aiff"};
constexpr SoundFormat kAiffC{"an AIFF-C", Converter::Sox, "aifc"};
constexpr SoundFormat kSunAu{"a Sun/NeXT AU", Converter::Sox, "au"};
constexpr SoundFormat kCaf{"a CAF", Converter::Sox, "caf"};
constexpr SoundFormat kWave64{"a Wave64", Converter::Sox, "w64"};

const SoundFormat* FormatOf(ForeignContainer container) {
    switch (container) {
    case ForeignContainer::Aiff: return &kAiff;
    case ForeignContainer::AiffC: return &kAiffC;
    case ForeignContainer::SunAu: return &kSunAu;
    case ForeignContainer::Flac: return &kFlac;
    case ForeignContainer::Ogg: return &kOgg;
    case ForeignContainer::Caf: return &kCaf;
    case ForeignContainer::Wave64: return &kWave64;
    case ForeignContainer::Mp3: return &kMp3;
    case ForeignContainer::None: break;
    }
    return nullptr;
}

// Where the name ends in a dot and more: its stem and its extension, from the dot.
struct NameParts {
    std::string stem;
    std::string extension;
};

NameParts PartsOf(const std::string& path) {
    const std::size_t folder = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (folder != std::string::npos && dot <= folder + 1) || dot == 0) return {path, ""};
    return {path.substr(0, dot), path.substr(dot)};
}

// The format a name says, or nothing.
const SoundFormat* FormatNamed(const std::string& path) {
    static constexpr SoundFormat kOpus{"an Opus", Converter::Ffmpeg, ""};
    static constexpr SoundFormat kM4a{"an M4A", Converter::Ffmpeg, ""};
    static constexpr SoundFormat kAac{"an AAC", Converter::Ffmpeg, ""};
    static constexpr SoundFormat kWma{"a WMA", Converter::Ffmpeg, ""};
    static constexpr std::pair<std::string_view, const SoundFormat*> kExtensions[] = {
        {".wav", &kWav},    {".mp3", &kMp3},    {".flac", &kFlac},  {".ogg", &kOgg},   {".opus", &kOpus},
        {".m4a", &kM4a},    {".aac", &kAac},    {".wma", &kWma},    {".aif", &kAiff},  {".aiff", &kAiff},
        {".aifc", &kAiffC}, {".au", &kSunAu},   {".snd", &kSunAu},  {".caf", &kCaf},   {".w64", &kWave64},
    };
    std::string extension = PartsOf(path).extension;
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [named, format] : kExtensions) {
        if (extension == named) return format;
    }
    return nullptr;
}

std::filesystem::path Utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

bool IsTaken(const std::string& name, const NamesInUse& inUse) {
    std::error_code error;
    // A dangling link is taken too: writing the name would follow it.
    if (std::filesystem::symlink_status(Utf8Path(name), error).type() != std::filesystem::file_type::not_found)
        return true;
    const std::filesystem::path wanted = Utf8Path(name).lexically_normal();
    return std::any_of(inUse.begin(), inUse.end(), [&](const std::string& used) {
        return used != kStandardStream && Utf8Path(used).lexically_normal() == wanted;
    });
}

// "take-16bit.wav" for take.flac and `suffix` "-16bit", or where that is
// taken "take-16bit-2.wav", and so on.
std::string NewFileName(const std::string& path, const std::string& suffix, const NamesInUse& inUse) {
    const std::string stem = PartsOf(path).stem + suffix;
    std::string name = stem + ".wav";
    for (int copy = 2; IsTaken(name, inUse); ++copy) name = stem + "-" + std::to_string(copy) + ".wav";
    return name;
}

// A name as a shell takes it, in the POSIX shells and the Windows Command
// Prompt alike: as it is when it holds only characters neither treats
// specially, else in double quotes.
std::string ForShell(std::string name) {
    // SoX and ffmpeg would take a name that starts with "-" for an option.
    if (name.size() > 1 && name[0] == '-') name = "./" + name;
    const bool plain = std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c >= 0x80 ||
               std::string_view("_./:\\+@-").find(static_cast<char>(c)) != std::string_view::npos;
    });
    return plain && !name.empty() ? name : "\"" + name + "\"";
}

// SoX's command that applies `options` to `path` of `soxType`, into a new
// WAV file named with `suffix`.
std::string SoxCommand(const std::string& path, const char* soxType, const std::string& options,
                       const std::string& suffix, const NamesInUse& inUse) {
    if (path == kStandardStream) return std::string("sox -t ") + soxType + " - " + options + " -t wav -";
    return "sox " + ForShell(path) + " " + options + " " + ForShell(NewFileName(path, suffix, inUse));
}

std::string SixteenBitCommand(const std::string& path, const SoundFormat& format, const NamesInUse& inUse) {
    if (format.converter == Converter::Sox) return SoxCommand(path, format.soxType, "-b 16", "-16bit", inUse);
    // ffmpeg tells the format of a stream by its content.
    if (path == kStandardStream) return "ffmpeg -i - -c:a pcm_s16le -f wav -";
    return "ffmpeg -i " + ForShell(path) + " -c:a pcm_s16le " + ForShell(NewFileName(path, "-16bit", inUse));
}

std::string ConvertItFirst(const std::string& path, const SoundFormat& format, const NamesInUse& inUse) {
    return "varnel-cli reads raw 16-bit samples and 16-bit PCM WAV files: convert it first (" +
           SixteenBitCommand(path, format, inUse) + ")";
}

constexpr char kOrRaw[] = ", or give --raw to take its bytes as samples";

}  // namespace

std::string ForeignContainerRefusal(ForeignContainer container, const std::string& path, const NamesInUse& inUse) {
    static constexpr SoundFormat kOther{"another kind of", Converter::Ffmpeg, ""};
    const SoundFormat* format = FormatOf(container);
    if (!format) format = &kOther;
    // An Ogg file named .opus holds Opus, which SoX does not read.
    const SoundFormat* named = FormatNamed(path);
    const SoundFormat& converted = named && named->converter == Converter::Ffmpeg ? *named : *format;
    return std::string("is ") + format->name + " file; " + ConvertItFirst(path, converted, inUse) + kOrRaw;
}

std::string WavConversionAdvice(const std::string& path, const NamesInUse& inUse) {
    return ConvertItFirst(path, kWav, inUse);
}

bool NamesSoundFile(const std::string& path) { return FormatNamed(path) != nullptr; }

std::string NotAsNamedRefusal(const std::string& path, const NamesInUse& inUse) {
    const SoundFormat* named = FormatNamed(path);
    if (!named || named == &kWav) return "holds no WAV header; --raw reads it as raw samples";
    return std::string("is named as ") + named->name + " file; " + ConvertItFirst(path, *named, inUse) + kOrRaw;
}

std::string RateConversionCommand(const std::string& path, std::uint32_t rate, const NamesInUse& inUse) {
    const std::string hertz = std::to_string(rate);
    return SoxCommand(path, "wav", "-r " + hertz, "-" + hertz + "hz", inUse);
}

std::string MonoConversionCommand(const std::string& path, const NamesInUse& inUse) {
    return SoxCommand(path, "wav", "-c 1", "-mono", inUse);
}

}  // namespace varnel::cli
