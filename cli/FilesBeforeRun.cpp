#include "cli/FilesBeforeRun.h"

#include <cctype>
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

// A name in Windows' device namespace (\\.\pipe\x, \\.\COM1, \\?\pipe\x; not
// \\?\C:\... nor \\?\UNC\...), which is not even to be asked what it is: the
// question opens it, and a pipe's connection would be taken from the run.
bool NamesADevice(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0) return true;
    if (path.rfind("\\\\?\\", 0) != 0) return false;
    const std::string rest = path.substr(4);
    const bool drive = rest.size() > 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':';
    return !drive && rest.rfind("UNC\\", 0) != 0;
}

// A pipe or a device, which opening would disturb.
bool IsStream(const std::string& path) {
    if (NamesADevice(path)) return true;
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
    if (NamesADevice(path)) return std::nullopt;
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
        const bool stream = !standard && IsStream(path);
        found.inputIsFolder.push_back(!standard && !stream && TypeOf(path) == file_type::directory);
        if (stream) continue;
        if (const auto failure = OpenFailure(path))
            files.inputsNotOpened.push_back({RunFile::Input(number), FileAction::Open, *failure});
    }
    if (paths.output != kStandardStream && !paths.output.empty() && !NamesADevice(paths.output)) {
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
