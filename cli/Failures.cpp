#include "cli/Failures.h"

#include <filesystem>
#include <system_error>

#include "cli/CommandLine.h"
#include "safeoutput/FileIdentity.h"

namespace varnel::cli {
namespace {

// Stable kebab-case names of the file layer's causes, for the codes.
const char* CauseCode(FileCause cause) {
    switch (cause) {
    case FileCause::none: break;
    case FileCause::generic: return "generic";
    case FileCause::fileNotFound: return "not-found";
    case FileCause::badPath: return "bad-path";
    case FileCause::tooManyOpenFiles: return "too-many-open-files";
    case FileCause::accessDenied: return "access-denied";
    case FileCause::invalidFile: return "invalid-file";
    case FileCause::removeCurrentDir: return "current-folder";
    case FileCause::directoryFull: return "folder-full";
    case FileCause::badSeek: return "bad-seek";
    case FileCause::hardIO: return "hard-io";
    case FileCause::sharingViolation: return "in-use";
    case FileCause::lockViolation: return "locked";
    case FileCause::diskFull: return "disk-full";
    case FileCause::endOfFile: return "end-of-file";
    }
    return "generic";
}

const char* CauseWords(FileCause cause) {
    switch (cause) {
    case FileCause::none: break;
    case FileCause::generic: break;
    case FileCause::fileNotFound: return "no such file";
    case FileCause::badPath: return "no such folder, or the name is not valid";
    case FileCause::tooManyOpenFiles: return "too many files are open";
    case FileCause::accessDenied: return "permission denied";
    case FileCause::invalidFile: return "not a file that can be opened";
    case FileCause::removeCurrentDir: return "it is the current folder";
    case FileCause::directoryFull: return "the folder is full";
    case FileCause::badSeek: return "it cannot be positioned";
    case FileCause::hardIO: return "an input/output error";
    case FileCause::sharingViolation: return "another program is using it";
    case FileCause::lockViolation: return "another program has locked part of it";
    case FileCause::diskFull: return "no room for it (the disk is full, or the file would be too large)";
    case FileCause::endOfFile: return "it ended early";
    }
    return "the system reported an error";
}

std::filesystem::path Utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(Utf8Path(path), ignored);
}

// The folder a new file would go into is missing.
bool FolderIsMissing(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path parent = Utf8Path(path).parent_path();
    return !parent.empty() && !std::filesystem::exists(parent, ignored);
}

// 1 or 2 when OUTPUT names the same file as that input, else 0.
int InputThatIs(const RunPaths& paths) {
    const auto output = IdentityOf(paths.output);
    if (!output) return 0;
    for (const int input : {1, 2}) {
        const auto identity = IdentityOf(input == 1 ? paths.input1 : paths.input2);
        if (identity && identity->SameFileAs(*output)) return input;
    }
    return 0;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// "input 1 'a.pcm'", "input 1 (standard input)".
std::string InputNamed(int input, const std::string& path) {
    const std::string name = "input " + std::to_string(input);
    return path == kStandardStream ? name + " (standard input)" : name + " " + Quoted(path);
}

}  // namespace

Failure DescribeFileProblem(const FileProblem& problem, const RunPaths& paths) {
    const bool isOutput = problem.file == RunFile::Output;
    const int input = problem.file == RunFile::Input2 ? 2 : 1;
    Failure failure;
    failure.file = isOutput ? "output" : "input" + std::to_string(input);
    failure.path = isOutput ? paths.output : input == 1 ? paths.input1 : paths.input2;
    const FileCause cause = problem.failure.cause;
    const bool standard = failure.path == kStandardStream;

    std::string reason = CauseWords(cause);
    if ((cause == FileCause::generic || cause == FileCause::none) && problem.failure.osError > 0)
        reason += " (" + std::system_category().message(static_cast<int>(problem.failure.osError)) + ")";
    switch (problem.action) {
    case FileAction::Open:
        failure.code = std::string("open-") + CauseCode(cause);
        if (!standard && cause == FileCause::accessDenied && IsFolder(failure.path)) {
            failure.code = "open-is-folder";
            failure.message = Quoted(failure.path) + " is a folder, not a file";
            return failure;
        }
        if (isOutput && cause == FileCause::sharingViolation) {
            if (const int same = InputThatIs(paths)) {
                failure.code = "open-output-is-input";
                failure.message =
                    Quoted(failure.path) + " is input " + std::to_string(same) + "; the output must be another file";
                return failure;
            }
        }
        if (isOutput && cause == FileCause::badPath && FolderIsMissing(failure.path))
            reason = "its folder does not exist";
        if (standard) reason = "the standard " + std::string(isOutput ? "output" : "input") + " cannot be used";
        failure.message =
            isOutput ? "cannot create " + (standard ? std::string("the standard output") : Quoted(failure.path))
                     : "cannot open " + InputNamed(input, failure.path);
        break;
    case FileAction::Read:
        failure.code = std::string("read-") + CauseCode(cause);
        failure.message = "cannot read " + InputNamed(input, failure.path);
        break;
    case FileAction::Write:
        failure.code = std::string("write-") + CauseCode(cause);
        failure.message = "cannot write " + (standard ? std::string("the standard output") : Quoted(failure.path));
        if (cause == FileCause::none) reason = "it could not be completed";
        break;
    }
    failure.message += ": " + reason;
    return failure;
}

Failure DescribeMessage(const std::string& text) {
    Failure failure;
    failure.code = text.rfind("Insufficient memory", 0) == 0 ? "out-of-memory" : "refused";
    failure.message = text;
    return failure;
}

}  // namespace varnel::cli
