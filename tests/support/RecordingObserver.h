// Records what a run reports, in order, as readable lines: each failure as
// its data ("open input 1 fileNotFound", "write output diskFull",
// "buffer 3", "format 2 input 2" by the problem's number), not as anyone's
// words.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "processing/RunObserver.h"

namespace varnel::test {

inline std::string CauseName(FileCause cause) {
    static constexpr const char* kNames[] = {
        "none",         "generic",          "fileNotFound",     "badPath",       "tooManyOpenFiles",
        "accessDenied", "invalidFile",      "removeCurrentDir", "directoryFull", "badSeek",
        "hardIO",       "sharingViolation", "lockViolation",    "diskFull",      "endOfFile"};
    return kNames[static_cast<int>(cause)];
}

inline std::string FileName(RunFile file) { return file.IsOutput() ? "output" : "input " + std::to_string(file.input); }

inline std::string Described(const RunFailure& failure) {
    if (const auto* problem = std::get_if<FileProblem>(&failure)) {
        static constexpr const char* kActions[] = {"open", "read", "write"};
        return std::string(kActions[static_cast<int>(problem->action)]) + " " + FileName(problem->file) + " " +
               CauseName(problem->failure.cause);
    }
    if (const auto* refused = std::get_if<BufferRefused>(&failure)) return "buffer " + std::to_string(refused->buffer);
    const auto& refusal = std::get<FormatRefusal>(failure);
    return "format " + std::to_string(static_cast<int>(refusal.problem)) + " " + FileName(refusal.file);
}

class RecordingObserver : public RunObserver {
public:
    void ReportFailure(const RunFailure& failure) override {
        failures.push_back(failure);
        messages.push_back(Described(failure));
        events.push_back("failure " + messages.back());
    }
    void BeginWait() override { events.push_back("wait"); }
    void EndWait() override { events.push_back("end wait"); }
    void ShowProgress(std::uint64_t done, std::uint64_t total) override {
        positions.push_back(ProgressPercent(done, total));
        events.push_back("progress " + std::to_string(positions.back()));
    }
    void ResetProgress() override {
        positions.push_back(0);
        events.push_back("reset");
    }

    std::vector<RunFailure> failures;
    std::vector<std::string> messages;  // each failure Described
    std::vector<int> positions;
    std::vector<std::string> events;
};

}  // namespace varnel::test
