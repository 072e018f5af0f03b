#include "ui/RunMessages.h"

#include <array>
#include <utility>

namespace varnel {
namespace {

// What a failed output open shows first, tested in this order; the text of
// every cause not listed is left to the closing message.
constexpr std::array<std::pair<FileCause, const char*>, 12> kOutputOpenCauseMessages{{
    {FileCause::generic, "generic"},
    {FileCause::badPath, "badPath "},
    {FileCause::tooManyOpenFiles, "tooManyOpenFiles "},
    {FileCause::invalidFile, "invalidFile"},
    {FileCause::removeCurrentDir, "removeCurrentDir "},
    {FileCause::directoryFull, "directoryFull "},
    {FileCause::diskFull, "diskFull "},
    {FileCause::sharingViolation, "sharingViolation "},
    {FileCause::lockViolation, "lockViolation "},
    {FileCause::accessDenied, "accessDenied "},
    {FileCause::hardIO, "IO Error"},
    {FileCause::badSeek, "Error Set Pointer"},
}};

constexpr char kOutputNotCreated[] = "The Output Sound File was not created";

std::vector<std::string> OutputOpenTexts(FileCause cause) {
    std::vector<std::string> texts;
    for (const auto& [listed, text] : kOutputOpenCauseMessages) {
        if (cause == listed) {
            texts.emplace_back(text);
            break;
        }
    }
    texts.emplace_back(cause == FileCause::endOfFile ? "endOfFile" : kOutputNotCreated);
    return texts;
}

std::string SoundFileName(RunFile file) { return "Sound File " + std::to_string(file.input); }

std::vector<std::string> FileProblemTexts(const FileProblem& problem) {
    if (problem.file.IsOutput()) {
        if (problem.action == FileAction::Open) return OutputOpenTexts(problem.failure.cause);
        return {"Writing The Output Sound File Failed"};
    }
    const std::string name = SoundFileName(problem.file);
    if (problem.action == FileAction::Read) return {"Reading " + name + " Failed"};
    if (problem.failure.cause == FileCause::fileNotFound) return {name + " Not Found"};
    return {"Opening " + name + " Failed"};
}

}  // namespace

std::vector<std::string> WindowTexts(const RunFailure& failure) {
    if (const auto* problem = std::get_if<FileProblem>(&failure)) return FileProblemTexts(*problem);
    if (const auto* refused = std::get_if<BufferRefused>(&failure)) {
        return {"Insufficient memory available for buffer " + std::to_string(refused->buffer) + "\n"};
    }
    // The window reads and writes headerless samples, which no format
    // refuses; should one be refused all the same, the user still hears of
    // the file that could not be used.
    const FormatRefusal& refusal = std::get<FormatRefusal>(failure);
    if (refusal.file.IsOutput()) return {kOutputNotCreated};
    return {"Opening " + SoundFileName(refusal.file) + " Failed"};
}

}  // namespace varnel
