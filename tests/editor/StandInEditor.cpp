#include "StandInEditor.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "framework/Module.h"

namespace varnel::test {

std::string StandInPath() {
    const std::string self = framework::ModuleFileName();
    return self.substr(0, self.find_last_of('\\') + 1) + "editor_stand_in.exe";
}

bool ProcessObjectOutlives(unsigned long id) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (!process) return false;
        CloseHandle(process);
        if (std::chrono::steady_clock::now() >= giveUp) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool CopyStandIn(const std::string& path) { return CopyFileA(StandInPath().c_str(), path.c_str(), FALSE) != 0; }

StandInRecording::StandInRecording(std::string folder) : m_folder(std::move(folder)) {
    SetEnvironmentVariableA("VARNEL_STAND_IN_FOLDER", m_folder.c_str());
}

StandInRecording::~StandInRecording() { SetEnvironmentVariableA("VARNEL_STAND_IN_FOLDER", nullptr); }

std::vector<std::string> StandInRecording::CommandLines() const {
    std::vector<std::string> lines;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        if (entry.path().extension() != ".cmdline") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        lines.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return lines;
}

std::vector<unsigned long> StandInRecording::ProcessIds() const {
    std::vector<unsigned long> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        if (entry.path().extension() == ".cmdline") ids.push_back(std::stoul(entry.path().stem().string()));
    }
    return ids;
}

std::vector<std::string> StandInRecording::WaitForCommandLines(std::size_t count) const {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::vector<std::string> lines = CommandLines();
    while (lines.size() < count && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        lines = CommandLines();
    }
    return lines;
}

}  // namespace varnel::test
