#include "cli/FilesBeforeRun.h"

#include <filesystem>
#include <system_error>

#include "cli/CommandLine.h"
#include "processing/File.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::cli {
namespace {

using std::filesystem::file_type;

file_type TypeOf(const std::string& path) {
    std::error_code error;
    return std::filesystem::status(std::u8string(path.begin(), path.end()), error).type();
}

// A pipe or a device, which opening would disturb. Windows' device names
// (\\.\pipe\x, \\?\...) may be pipes too.
bool IsStream(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\", 0) == 0) return true;
    const file_type type = TypeOf(path);
    return type == file_type::fifo || type == file_type::character || type == file_type::block ||
           type == file_type::socket;
}

std::optional<FileFailure> OpenFailure(const std::string& path) {
    File input;
    FileFailure failure;
    // Standard input is looked at, not read: its descriptor is only copied.
    const bool opened = path == kStandardStream ? input.OpenStandard(File::Standard::Input, failure)
                                                : input.Open(path, File::Mode::ReadShared, failure);
    if (opened) return std::nullopt;
    return failure;
}

// What a run's file is: "-" stands for a standard stream, which counts
// only when it is a file on disk (a terminal is often both streams).
std::optional<safeoutput::FileIdentity> IdentityOfRunFile(const std::string& path, File::Standard stream) {
    if (path != kStandardStream) return safeoutput::IdentityOf(path);
    const auto identity = safeoutput::IdentityOfStandard(stream);
    if (identity && identity->regular) return identity;
    return std::nullopt;
}

// Writing a file that is also read would read back what is written, and
// replacing it would lose it; a device or a pipe has no content to lose.
int InputThatIsOutput(const RunPaths& paths) {
    const auto output = IdentityOfRunFile(paths.output, File::Standard::Output);
    if (!output || !output->regular) return 0;
    for (int input = 1; input <= paths.InputCount(); ++input) {
        const auto identity = IdentityOfRunFile(paths.Input(input), File::Standard::Input);
        if (identity && identity->SameFileAs(*output)) return input;
    }
    return 0;
}

std::optional<FileCause> OutputRefusal(const RunPaths& paths, const FilesFound& found) {
    if (paths.output == kStandardStream) return std::nullopt;
    if (paths.output.empty() || found.outputFolderMissing) return FileCause::badPath;
    if (found.outputIsFolder) return FileCause::accessDenied;
    if (found.inputThatIsOutput) return FileCause::sharingViolation;
    return std::nullopt;
}

}  // namespace

FilesBeforeRun LookAtFiles(const RunPaths& paths) {
    FilesBeforeRun files;
    FilesFound& found = files.found;
    for (int number = 1; number <= paths.InputCount(); ++number) {
        const std::string& path = paths.Input(number);
        const bool standard = path == kStandardStream;
        found.inputIsFolder.push_back(!standard && TypeOf(path) == file_type::directory);
        if (!standard && IsStream(path)) continue;
        if (const auto failure = OpenFailure(path))
            files.inputsNotOpened.push_back({RunFile::Input(number), FileAction::Open, *failure});
    }
    if (paths.output != kStandardStream && !paths.output.empty()) {
        const std::filesystem::path output = std::u8string(paths.output.begin(), paths.output.end());
        const std::filesystem::path folder = output.parent_path();
        std::error_code error;
        found.outputIsFolder = TypeOf(paths.output) == file_type::directory;
        found.outputFolderMissing = !folder.empty() && !std::filesystem::exists(folder, error);
    }
    found.inputThatIsOutput = InputThatIsOutput(paths);
    if (const auto cause = OutputRefusal(paths, found))
        files.outputRefused = FileProblem{RunFile::Output(), FileAction::Open, {*cause, -1}};
    return files;
}

}  // namespace varnel::cli
