#include "cli/Summary.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "CliVersion.h"
#include "cli/JsonText.h"

namespace varnel::cli {
namespace {

bool IsMerge(ProcessFunction function) {
    return function == ProcessFunction::Mono || function == ProcessFunction::Stereo;
}

std::uint64_t Samples(std::uint64_t bytes) { return bytes / kBytesPerSample; }

std::string Plural(std::uint64_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

double Seconds(const StreamFormat& format, std::uint64_t samples) {
    return static_cast<double>(samples / format.channels) / format.sampleRate;
}

std::string Length(std::uint64_t bytes) {
    std::string text = Plural(Samples(bytes), "sample");
    if (bytes % 2) text += " and 1 byte";
    return text;
}

// "WAV, 22050 Hz, 2 channels, 1.500 s", "RF64, ..." or "raw": the rate, channels and
// duration where the rate is known.
std::string FormatText(const StreamFormat& format, std::uint64_t samples) {
    std::string text = format.rf64 ? "RF64" : format.wav ? "WAV" : "raw";
    if (format.sampleRate == 0 || format.channels == 0) return text;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f s", Seconds(format, samples));
    return text + ", " + std::to_string(format.sampleRate) + " Hz, " + Plural(format.channels, "channel") + ", " +
           seconds;
}

std::string CutShortNote(const StreamFormat& format, int input, std::uint64_t bytes) {
    return "input " + std::to_string(input) + "'s data chunk claims " + std::to_string(format.claimedBytes) +
           " bytes, but the file holds " + std::to_string(bytes) + " (a recording cut short?); read to its end";
}

std::string OddByteNote(const RunSummary& summary, int input) {
    const std::string name = "input " + std::to_string(input);
    if (IsMerge(summary.function)) return name + " ends in an odd byte, which was not used";
    // A join copies bytes: an odd byte in the middle puts every later sample
    // one byte out of step.
    const bool oneFirst = summary.function == ProcessFunction::Join1To2;
    const bool isFirst = (input == 1) == oneFirst;
    const int other = 3 - input;
    std::string note = name + " ends in an odd byte, copied as it is";
    if (isFirst && summary.inputs.at(static_cast<std::size_t>(other - 1)).bytes > 0) {
        note += "; the samples of input " + std::to_string(other) + " after it are one byte out of step";
    }
    return note;
}

// What is known of input `input`'s format: nothing past those the run accepted.
StreamFormat FormatOf(const RunSummary& summary, int input) {
    const auto slot = static_cast<std::size_t>(input - 1);
    return slot < summary.formats.inputs.size() ? summary.formats.inputs[slot] : StreamFormat{};
}

const InputSummary& InputOf(const RunSummary& summary, int input) {
    return summary.inputs.at(static_cast<std::size_t>(input - 1));
}

// What deserves a second look in the length the run found of input `name`.
void AddLengthNotes(std::vector<std::string>& lines, const std::string& name, const InputSummary& input) {
    if (input.changed)
        lines.push_back("note: " + name + " changed length during the run; the length above is what the run found");
    if (input.unfinished) {
        lines.push_back("note: " + name + " was not read to its end, so its length is not known");
    } else if (input.unused == 1) {
        lines.push_back("note: the last sample of " + name + " was not used (--pad covers it)");
    } else if (input.unused) {
        lines.push_back("note: the last " + Plural(input.unused, "sample") + " of " + name +
                        " were not used (--pad covers them)");
    }
}

// ,"format":"wav","sampleRate":22050,"channels":1,"seconds":1.5
std::string JsonFormat(const StreamFormat& format, std::uint64_t samples) {
    const char* name = format.rf64 ? "\"rf64\"" : format.wav ? "\"wav\"" : "\"raw\"";
    std::string json = std::string(",\"format\":") + name;
    if (format.sampleRate == 0 || format.channels == 0) return json;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", Seconds(format, samples));
    std::string number = seconds;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') number.pop_back();
    return json + ",\"sampleRate\":" + std::to_string(format.sampleRate) +
           ",\"channels\":" + std::to_string(format.channels) + ",\"seconds\":" + number;
}

std::string JsonInput(const RunSummary& summary, int input) {
    const InputSummary& found = InputOf(summary, input);
    const StreamFormat format = FormatOf(summary, input);
    std::string json = "{\"bytes\":" + std::to_string(found.bytes) +
                       ",\"samples\":" + std::to_string(Samples(found.bytes)) +
                       ",\"oddByte\":" + (found.bytes % 2 ? "true" : "false") +
                       ",\"unusedSamples\":" + std::to_string(found.unused) +
                       ",\"lengthChanged\":" + (found.changed ? "true" : "false") +
                       ",\"lengthKnown\":" + (found.unfinished ? "false" : "true") +
                       JsonFormat(format, Samples(found.bytes));
    if (format.wav) json += ",\"cutShort\":" + std::string(format.cutShort ? "true" : "false");
    return json + "}";
}

// The lines of a run of more than two inputs: their count and samples in
// all, and a note for each that deserves one.
std::vector<std::string> ManyInputLines(const RunSummary& summary) {
    const std::vector<StreamFormat>& formats = summary.formats.inputs;
    std::uint64_t bytes = 0;
    bool unfinished = false;
    for (const InputSummary& input : summary.inputs) {
        bytes += input.bytes;
        unfinished = unfinished || input.unfinished;
    }
    const bool allWav = std::all_of(formats.begin(), formats.end(), [](const StreamFormat& f) { return f.wav; });
    const bool anyWav = std::any_of(formats.begin(), formats.end(), [](const StreamFormat& f) { return f.wav; });
    std::string kinds = allWav ? "WAV" : anyWav ? "raw and WAV" : "raw";
    if (!formats.empty() && formats[0].sampleRate != 0 && formats[0].channels != 0)
        kinds += ", " + std::to_string(formats[0].sampleRate) + " Hz, " + Plural(formats[0].channels, "channel");
    std::string line = summary.functionName + ": " + std::to_string(summary.inputs.size()) + " inputs, " +
                       (unfinished ? "at least " : "") + Length(bytes) + " in all (" + kinds + "), output " +
                       Length(summary.outputBytes) + " (" +
                       FormatText(summary.formats.output, Samples(summary.outputBytes)) + ")";
    if (summary.function == ProcessFunction::Mono) {
        line += summary.averaged ? std::string(", the inputs' mean")
                                 : ", " + Plural(summary.clippedSamples, "sample") + " clipped";
    }
    if (summary.padded) line += ", shorter inputs padded with silence";
    std::vector<std::string> lines{line};
    for (std::size_t slot = 0; slot < summary.inputs.size(); ++slot) {
        const InputSummary& input = summary.inputs[slot];
        const std::string name = "input " + std::to_string(slot + 1);
        const StreamFormat format = slot < formats.size() ? formats[slot] : StreamFormat{};
        if (format.cutShort) lines.push_back("note: " + CutShortNote(format, static_cast<int>(slot + 1), input.bytes));
        if (input.bytes % 2) {
            const bool last = slot + 1 == summary.inputs.size();
            lines.push_back("note: " + name +
                            (IsMerge(summary.function) ? " ends in an odd byte, which was not used"
                             : last                    ? " ends in an odd byte, copied as it is"
                                    : " ends in an odd byte, copied as it is; the samples after it are one byte out "
                                      "of step"));
        }
        AddLengthNotes(lines, name, input);
    }
    return lines;
}

}  // namespace

RunSummary SummaryOf(const CliOptions& options, const RunResult& result, bool succeeded,
                     std::vector<Failure> failures) {
    RunSummary summary;
    summary.paths = {options.inputs, options.output, options.listedAt};
    for (std::size_t slot = 0; slot < options.inputs.size(); ++slot) {
        InputSummary input;
        // A failed run may not have read anything: the lengths as opened.
        if (slot < result.lengths.size()) input.bytes = result.lengths[slot];
        if (succeeded && slot < result.inputs.size()) {
            const InputFound& found = result.inputs[slot];
            input = {found.bytes, found.lengthChanged, !found.lengthKnown, found.unusedSamples};
        }
        summary.inputs.push_back(input);
    }
    summary.functionName = options.functionName;
    summary.function = options.function;
    summary.padded = options.pad;
    summary.averaged = options.average;
    summary.succeeded = succeeded;
    summary.outputBytes = result.outputBytes;
    summary.clippedSamples = result.clippedSamples;
    summary.failures = std::move(failures);
    return summary;
}

std::vector<std::string> SummaryLines(const RunSummary& summary) {
    if (summary.inputs.size() > 2) return ManyInputLines(summary);
    std::string line = summary.functionName;
    for (const int input : {1, 2}) {
        const InputSummary& found = InputOf(summary, input);
        line += (input == 1 ? ": input 1 " : ", input 2 ") + std::string(found.unfinished ? "at least " : "") +
                Length(found.bytes) + " (" + FormatText(FormatOf(summary, input), Samples(found.bytes)) + ")";
    }
    line += ", output ";
    if (summary.function == ProcessFunction::Stereo) {
        line += Plural(summary.outputBytes / kBytesPerStereoFrame, "stereo frame");
    } else {
        line += Length(summary.outputBytes);
    }
    line += " (" + FormatText(summary.formats.output, Samples(summary.outputBytes)) + ")";
    if (summary.function == ProcessFunction::Mono) {
        line += summary.averaged ? std::string(", the inputs' mean")
                                 : ", " + Plural(summary.clippedSamples, "sample") + " clipped";
    }
    if (summary.padded) line += ", shorter input padded with silence";

    std::vector<std::string> lines{line};
    for (const int input : {1, 2}) {
        const StreamFormat format = FormatOf(summary, input);
        if (format.cutShort) lines.push_back("note: " + CutShortNote(format, input, InputOf(summary, input).bytes));
    }
    for (const int input : {1, 2}) {
        if (InputOf(summary, input).bytes % 2) lines.push_back("note: " + OddByteNote(summary, input));
    }
    for (const int input : {1, 2}) AddLengthNotes(lines, "input " + std::to_string(input), InputOf(summary, input));
    return lines;
}

std::string ClippingWarning(const RunSummary& summary) {
    if (summary.function != ProcessFunction::Mono || summary.clippedSamples == 0) return {};
    const std::uint64_t samples = std::max<std::uint64_t>(Samples(summary.outputBytes), 1);
    const double percent = 100.0 * static_cast<double>(summary.clippedSamples) / static_cast<double>(samples);
    char share[32];
    if (percent < 0.1) {
        std::snprintf(share, sizeof share, "under 0.1%%");
    } else {
        std::snprintf(share, sizeof share, "%.1f%%", percent);
    }
    return "warning: " + std::to_string(summary.clippedSamples) + " of " +
           Plural(Samples(summary.outputBytes), "sample") + " clipped (" + share +
           "); --average mixes without clipping";
}

std::string SummaryJson(const RunSummary& summary) {
    std::string json = "{\"version\":" + JsonString(kVersion) + ",\"function\":" + JsonString(summary.functionName) +
                       ",\"succeeded\":" + (summary.succeeded ? "true" : "false");
    // Appended rather than added: GCC 12 warns falsely of an overlap in "{" + text at -O3.
    const auto path = [](const std::string& given) { return std::string("{").append(JsonPathMembers(given)); };
    // A run of two also names each input by its number, as it did before runs of more.
    const int named = summary.paths.InputCount() <= 2 ? 2 : 0;
    const auto key = [](int input) { return ",\"input" + std::to_string(input) + "\":"; };
    // Every input, after all else: "inputs":[{"path":"a.pcm",...},...]
    const auto inputs = [&](bool found) {
        if (summary.inputs.empty()) return std::string();
        std::string array = ",\"inputs\":[";
        for (int input = 1; input <= static_cast<int>(summary.inputs.size()); ++input) {
            if (input > 1) array += ',';
            array += path(summary.paths.Input(input));
            array += found ? "," + JsonInput(summary, input).substr(1) : "}";
        }
        return array + "]";
    };
    if (!summary.succeeded) {
        for (int input = 1; input <= named; ++input) json += key(input) + path(summary.paths.Input(input)) + "}";
        json += ",\"output\":" + path(summary.paths.output) + "},\"failures\":[";
        for (std::size_t i = 0; i < summary.failures.size(); ++i) {
            const Failure& failure = summary.failures[i];
            if (i > 0) json += ',';
            json += "{\"code\":" + JsonString(failure.code) + ",\"message\":" + JsonString(failure.message);
            if (!failure.file.empty()) {
                json += ",\"file\":" + JsonString(failure.file) + "," + JsonPathMembers(failure.path);
            }
            json += "}";
        }
        return json + "]" + inputs(false) + "}";
    }
    json += ",\"padded\":" + std::string(summary.padded ? "true" : "false");
    for (int input = 1; input <= named; ++input)
        json += key(input) + path(summary.paths.Input(input)) + "," + JsonInput(summary, input).substr(1);
    json += ",\"output\":" + path(summary.paths.output) + ",\"bytes\":" + std::to_string(summary.outputBytes) +
            ",\"samples\":" + std::to_string(Samples(summary.outputBytes));
    if (summary.function == ProcessFunction::Stereo) {
        json += ",\"frames\":" + std::to_string(summary.outputBytes / kBytesPerStereoFrame);
    }
    json += JsonFormat(summary.formats.output, Samples(summary.outputBytes));
    json += "}";
    if (summary.function == ProcessFunction::Mono) {
        json += ",\"clippedSamples\":" + std::to_string(summary.clippedSamples) +
                ",\"averaged\":" + (summary.averaged ? "true" : "false");
    }
    return json + inputs(true) + "}";
}

}  // namespace varnel::cli
