// How a processing run reports to whoever started it: the window shows
// message boxes, a progress bar and the wait cursor; the command line prints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "processing/FileFailure.h"

namespace varnel {

// Which of the run's files a failure concerns, and what was being done.
enum class RunFile { Input1, Input2, Output };
enum class FileAction { Open, Read, Write };
struct FileProblem {
    RunFile file = RunFile::Input1;
    FileAction action = FileAction::Open;
    FileFailure failure;
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A failure the user must see; the window shows it in an OK box and the
    // run goes on only when the box is closed.
    virtual void ShowMessage(const std::string& text) = 0;
    // A file could not be opened, read or written. The window shows its
    // texts for it (`windowTexts`, one box each); the command line words the
    // problem itself, naming the file.
    virtual void ReportFileProblem(const FileProblem& problem, const std::vector<std::string>& windowTexts) {
        (void)problem;
        for (const std::string& text : windowTexts) ShowMessage(text);
    }
    virtual void BeginWait() {}
    virtual void EndWait() {}
    // After each chunk: `doneBytes` of the `totalBytes` of input the function
    // will consume have been processed.
    virtual void ShowProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
        (void)doneBytes;
        (void)totalBytes;
    }
    // When the function ends, successful or not.
    virtual void ResetProgress() {}
    // Before the function starts: an input is a pipe or a device, whose
    // length is not known, so the totals given with the progress are not.
    virtual void TotalUnknown() {}
};

// The position of a 0 to 100 progress bar for `done` of `total`.
inline int ProgressPercent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 0;
    if (done >= total) return 100;
    while (total > UINT64_MAX / 100) {  // keep done * 100 in range
        total >>= 1;
        done >>= 1;
    }
    return static_cast<int>(done * 100 / total);
}

}  // namespace varnel
