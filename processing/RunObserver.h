// How a processing run reports to whoever started it: its failures as data
// (RunFailure), its progress and when it waits. The window shows message
// boxes, a progress bar and the wait cursor; the command line prints.
#pragma once

#include <cstdint>

#include "processing/RunFailure.h"

namespace varnel {

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A failure the user must hear of. The window shows it in OK boxes, and
    // the run goes on only when they are closed.
    virtual void ReportFailure(const RunFailure& failure) = 0;
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
