#include "cli/ProblemsNotReached.h"

#include <filesystem>
#include <system_error>

#include "cli/CommandLine.h"
#include "processing/File.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::cli {
namespace {

std::filesystem::path Utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

// A file on disk, a folder, or nothing at all: what may be opened to see.
bool MayBeOpenedToSee(const std::string& path) {
    // Windows' device names (\\.\pipe\x, \\?\...) may be pipes too.
    if (path == kStandardStream || path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\", 0) == 0) return false;
    std::error_code error;
    const auto status = std::filesystem::status(Utf8Path(path), error);
    return status.type() == std::filesystem::file_type::not_found ||
           status.type() == std::filesystem::file_type::regular ||
           status.type() == std::filesystem::file_type::directory;
}

bool IsOneOfTheInputs(const RunPaths& paths) {
    const auto output = safeoutput::IdentityOf(paths.output);
    if (!output) return false;
    for (int number = 1; number <= paths.InputCount(); ++number) {
        const auto identity = safeoutput::IdentityOf(paths.Input(number));
        if (identity && identity->SameFileAs(*output)) return true;
    }
    return false;
}

// The cause the output's open would fail with, as far as can be told
// without it; none when it may well succeed.
FileCause OutputRefusal(const RunPaths& paths) {
    if (paths.output == kStandardStream) return FileCause::none;
    if (paths.output.empty()) return FileCause::badPath;
    std::error_code error;
    const std::filesystem::path output = Utf8Path(paths.output);
    if (std::filesystem::is_directory(output, error)) return FileCause::accessDenied;
    const std::filesystem::path folder = output.parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, error)) return FileCause::badPath;
    if (IsOneOfTheInputs(paths)) return FileCause::sharingViolation;
    return FileCause::none;
}

}  // namespace

std::vector<FileProblem> ProblemsNotReached(const RunPaths& paths, RunFile stoppedAt) {
    std::vector<FileProblem> problems;
    for (int number = stoppedAt.input + 1; !stoppedAt.IsOutput() && number <= paths.InputCount(); ++number) {
        if (!MayBeOpenedToSee(paths.Input(number))) continue;
        File input;
        FileFailure failure;
        if (!input.Open(paths.Input(number), File::Mode::ReadShared, failure))
            problems.push_back({RunFile::Input(number), FileAction::Open, failure});
    }
    if (const FileCause cause = OutputRefusal(paths); cause != FileCause::none)
        problems.push_back({RunFile::Output(), FileAction::Open, {cause, -1}});
    return problems;
}

}  // namespace varnel::cli
