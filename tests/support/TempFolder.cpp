#include "TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace varnel::test {
namespace {

// Narrow names here are UTF-8 on every system: the standard library would
// read them in the C locale's code page on Windows.
std::filesystem::path Utf8Path(const std::string& name) { return std::u8string(name.begin(), name.end()); }

std::string Utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = std::filesystem::temp_directory_path() /
             ("varnel-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::operator/(const std::string& name) const { return Utf8Text(m_path / Utf8Path(name)); }

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = *this / name;
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes SampleBytes(const std::vector<std::int16_t>& samples) {
    Bytes bytes;
    for (const std::int16_t sample : samples) {
        const auto raw = static_cast<std::uint16_t>(sample);
        bytes.push_back(static_cast<std::uint8_t>(raw & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(raw >> 8));
    }
    return bytes;
}

Bytes SampleBytes(std::initializer_list<int> samples) {
    std::vector<std::int16_t> narrowed;
    for (const int sample : samples) narrowed.push_back(static_cast<std::int16_t>(sample));
    return SampleBytes(narrowed);
}

Bytes PatternBytes(std::size_t count, std::uint8_t seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>((i + seed) % 251);
    return bytes;
}

}  // namespace varnel::test
