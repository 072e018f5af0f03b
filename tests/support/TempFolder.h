// A fresh folder for one test, removed with everything in it afterwards, and
// helpers to put sound files into it and read them back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace varnel::test {

using Bytes = std::vector<std::uint8_t>;

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The native path of `name` inside the folder, as a narrow string. Narrow
    // names and paths here are UTF-8, as the programs under test take them.
    std::string operator/(const std::string& name) const;
    // Writes `bytes` to `name` and returns its path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path m_path;
};

Bytes ReadBytes(const std::string& path);
// Little-endian bytes of the samples.
Bytes SampleBytes(std::initializer_list<int> samples);
Bytes SampleBytes(const std::vector<std::int16_t>& samples);
// `count` bytes of a pattern that differs at every position within 251 bytes.
Bytes PatternBytes(std::size_t count, std::uint8_t seed = 0);

}  // namespace varnel::test
