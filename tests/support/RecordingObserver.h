// Records what a run reports, in order, as readable lines.
#pragma once

#include <string>
#include <vector>

#include "processing/RunObserver.h"

namespace varnel::test {

class RecordingObserver : public RunObserver {
public:
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        events.push_back("message " + text);
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

    std::vector<std::string> messages;
    std::vector<int> positions;
    std::vector<std::string> events;
};

}  // namespace varnel::test
