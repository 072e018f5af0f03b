#include "processing/WavFormat.h"

#include <gtest/gtest.h>

#include <string>

#include "processing/File.h"
#include "support/TempFolder.h"

namespace varnel {
namespace {

using test::Bytes;
using test::SampleBytes;
using test::TempFolder;

void Put16(Bytes& bytes, unsigned value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& bytes, std::uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void Put64(Bytes& bytes, std::uint64_t value) {
    Put32(bytes, static_cast<std::uint32_t>(value));
    Put32(bytes, static_cast<std::uint32_t>(value >> 32));
}

void PutChunk(Bytes& file, const char* id, const Bytes& body, std::uint32_t claimed) {
    file.insert(file.end(), id, id + 4);
    Put32(file, claimed);
    file.insert(file.end(), body.begin(), body.end());
    if (body.size() % 2) file.push_back(0);
}

void PutChunk(Bytes& file, const char* id, const Bytes& body) {
    PutChunk(file, id, body, static_cast<std::uint32_t>(body.size()));
}

Bytes FormatChunk(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits) {
    Bytes body;
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8);
    Put16(body, channels * bits / 8);
    Put16(body, bits);
    return body;
}

// WAVE_FORMAT_EXTENSIBLE with the sub-format whose GUID starts with `subFormat`.
Bytes ExtensibleChunk(unsigned channels, std::uint32_t rate, unsigned subFormat, std::uint32_t channelMask = 0x3) {
    Bytes body = FormatChunk(0xFFFE, channels, rate, 16);
    Put16(body, 22);  // extension size
    Put16(body, 16);  // valid bits
    Put32(body, channelMask);
    Put32(body, subFormat);
    for (const int byte : {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
        body.push_back(static_cast<std::uint8_t>(byte));
    }
    return body;
}

// An RF64 file whose ds64 chunk claims `riffBytes` and `dataBytes`; its
// chunks' own 32-bit sizes are as `chunks` puts them.
Bytes Rf64(const Bytes& chunks, std::uint64_t riffBytes, std::uint64_t dataBytes, std::uint64_t frames) {
    Bytes file{'R', 'F', '6', '4', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E'};
    Bytes ds64;
    Put64(ds64, riffBytes);
    Put64(ds64, dataBytes);
    Put64(ds64, frames);
    Put32(ds64, 0);
    PutChunk(file, "ds64", ds64);
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

Bytes Riff(const Bytes& chunks) {
    Bytes file{'R', 'I', 'F', 'F'};
    Put32(file, static_cast<std::uint32_t>(4 + chunks.size()));
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

struct Parsed {
    WavHeader header;
    Bytes rest;  // what the file delivers after the header
};

// Writes `file` to disk, reads its first 12 bytes as the command line does,
// then the header, and what follows it.
Parsed ParseFile(const Bytes& file) {
    TempFolder folder;
    File source;
    FileFailure failure;
    EXPECT_TRUE(source.Open(folder.Write("in.wav", file), File::Mode::Read, failure));
    std::uint8_t first[kRiffHeaderBytes];
    EXPECT_EQ(source.Read(first, sizeof first), sizeof first);
    const RiffKind kind = RiffKindOf(first, sizeof first);
    EXPECT_TRUE(kind == RiffKind::Wav || kind == RiffKind::WavRf64);
    Parsed parsed{ReadWavHeader(source, kind == RiffKind::WavRf64), Bytes(file.size())};
    parsed.rest.resize(source.Read(parsed.rest.data(), parsed.rest.size()).value_or(0));
    return parsed;
}

const Bytes kSamples = SampleBytes({1, -2, 300, -32768, 32767, 0});

TEST(WavHeader, FindsTheSamplesOfACanonicalFile) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", FormatChunk(1, 2, 44100, 16));
    PutChunk(chunks, "data", kSamples);
    const Parsed parsed = ParseFile(Riff(chunks));
    EXPECT_EQ(parsed.header.problem, WavProblem::None);
    EXPECT_EQ(parsed.header.format.sampleRate, 44100u);
    EXPECT_EQ(parsed.header.format.channels, 2u);
    EXPECT_EQ(parsed.header.dataBytes, kSamples.size());
    EXPECT_EQ(parsed.header.headerBytes, 44u);
    EXPECT_EQ(parsed.rest, kSamples);
}

TEST(WavHeader, ReadsPastOtherChunksAndTheirPadBytes) {
    Bytes chunks;
    PutChunk(chunks, "LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 0});  // odd: padded
    PutChunk(chunks, "fmt ", ExtensibleChunk(1, 8000, 1));
    PutChunk(chunks, "fact", Bytes{6, 0, 0, 0});
    PutChunk(chunks, "odd ", Bytes{9});
    PutChunk(chunks, "data", kSamples);
    const std::size_t header = 12 + chunks.size() - kSamples.size();
    PutChunk(chunks, "LIST", Bytes(100, 'x'));  // after the data
    const Parsed parsed = ParseFile(Riff(chunks));
    EXPECT_EQ(parsed.header.problem, WavProblem::None);
    EXPECT_EQ(parsed.header.format.sampleRate, 8000u);
    EXPECT_EQ(parsed.header.format.channels, 1u);
    EXPECT_EQ(parsed.header.headerBytes, header);
    EXPECT_EQ(parsed.header.dataBytes, kSamples.size());
    EXPECT_EQ(Bytes(parsed.rest.begin(), parsed.rest.begin() + 12), kSamples);
}

TEST(WavHeader, NamesWhatItCannotRead) {
    const auto problem = [](const Bytes& fmt, bool withData = true) {
        Bytes chunks;
        PutChunk(chunks, "fmt ", fmt);
        if (withData) PutChunk(chunks, "data", kSamples);
        return ParseFile(Riff(chunks)).header;
    };
    EXPECT_EQ(problem(FormatChunk(1, 1, 22050, 24)).problem, WavProblem::NotSixteenBits);
    EXPECT_EQ(problem(FormatChunk(1, 1, 22050, 24)).bitsPerSample, 24u);
    EXPECT_EQ(problem(FormatChunk(1, 1, 22050, 8)).problem, WavProblem::NotSixteenBits);
    EXPECT_EQ(problem(FormatChunk(3, 1, 22050, 32)).problem, WavProblem::NotPcm);
    EXPECT_EQ(problem(FormatChunk(0x55, 1, 22050, 0)).formatTag, 0x55u);
    EXPECT_EQ(problem(ExtensibleChunk(2, 48000, 3)).problem, WavProblem::ExtensibleNotPcm);
    EXPECT_EQ(problem(FormatChunk(1, 0, 22050, 16)).problem, WavProblem::BadFormatChunk);
    EXPECT_EQ(problem(Bytes(14, 1)).problem, WavProblem::BadFormatChunk);
    EXPECT_EQ(problem(FormatChunk(1, 1, 22050, 16), false).problem, WavProblem::CutShort);

    Bytes dataFirst;
    PutChunk(dataFirst, "data", kSamples);
    EXPECT_EQ(ParseFile(Riff(dataFirst)).header.problem, WavProblem::NoFormatChunk);
    Bytes cutInChunk;
    PutChunk(cutInChunk, "LIST", Bytes(10, 'x'), 5000);
    EXPECT_EQ(ParseFile(Riff(cutInChunk)).header.problem, WavProblem::CutShort);
}

TEST(WavHeader, TakesADataChunkThatClaimsMoreAtItsWord) {
    // The reader of the samples decides what to do with a file cut short.
    Bytes chunks;
    PutChunk(chunks, "fmt ", FormatChunk(1, 1, 22050, 16));
    PutChunk(chunks, "data", kSamples, 1000000);
    const Parsed parsed = ParseFile(Riff(chunks));
    EXPECT_EQ(parsed.header.problem, WavProblem::None);
    EXPECT_EQ(parsed.header.dataBytes, 1000000u);
    EXPECT_EQ(parsed.rest, kSamples);
}

TEST(RiffKind, JudgesByContentAloneAndTakesRiffAtItsWord) {
    const auto kind = [](const std::string& start) {
        return RiffKindOf(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
    };
    EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0WAVE", 12)), RiffKind::Wav);
    EXPECT_EQ(kind(std::string("RF64\xff\xff\xff\xffWAVE", 12)), RiffKind::WavRf64);
    EXPECT_EQ(kind(std::string("RIFX\0\0\0\x10WAVE", 12)), RiffKind::WavBigEndian);
    EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0AVI LIST", 16)), RiffKind::OtherForm);
    EXPECT_EQ(kind("RIFF"), RiffKind::CutShort);  // two samples, if raw: not worth the guess
    EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0WAV", 11)), RiffKind::CutShort);
    // A text conversion adds a CR before an LF of the size, or drops one.
    EXPECT_EQ(kind(std::string("RIFF\x0D\x0A\x01\0\0WAVEfmt", 16)), RiffKind::Damaged);
    EXPECT_EQ(kind(std::string("RIFF\0\x0A\0WAVEfmt \x10", 16)), RiffKind::Damaged);
    EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0\0\x01\x02\x03", 12)), RiffKind::Damaged);
    EXPECT_EQ(kind("RIF"), RiffKind::NotRiff);
    EXPECT_EQ(kind(std::string("\0RIFF\x10\0\0WAVE", 12)), RiffKind::NotRiff);
    EXPECT_EQ(kind(""), RiffKind::NotRiff);
}

TEST(WavHeaderBytes, WritesTheCanonicalHeaderWithTheSizesRight) {
    Bytes expected;
    PutChunk(expected, "fmt ", FormatChunk(1, 2, 22050, 16));
    expected.insert(expected.end(), {'d', 'a', 't', 'a'});
    Put32(expected, 1001);
    expected = Riff(expected);
    // The RIFF size counts the pad byte after odd data: 36 + 1002 = 0x40E.
    expected[4] = 0x0E;
    expected[5] = 0x04;
    const auto header = WavHeaderBytes({22050, 2}, 1001);
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected);

    const auto largest = WavHeaderBytes({8000, 1}, kWavMaxDataBytes);
    EXPECT_EQ(Bytes(largest.begin() + 4, largest.begin() + 8), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(WavHeaderBytes, WritesMoreThanTwoChannelsAsExtensibleWithTheirSpeakers) {
    Bytes expected;
    PutChunk(expected, "fmt ", ExtensibleChunk(6, 48000, 1, 0x3F));
    expected.insert(expected.end(), {'d', 'a', 't', 'a'});
    Put32(expected, 1200);
    expected = Riff(expected);
    expected[4] = 60 + 1200 - 0x400;
    expected[5] = 0x04;
    EXPECT_EQ(WavHeaderBytes({48000, 6}, 1200), expected);

    // Speakers named are kept, and read back.
    const Parsed parsed = ParseFile(WavHeaderBytes({8000, 6, 0x60F}, 0));
    EXPECT_EQ(parsed.header.problem, WavProblem::None);
    EXPECT_EQ(parsed.header.format.channelMask, 0x60Fu);
    EXPECT_EQ(parsed.header.headerBytes, kWavExtensibleHeaderBytes);

    const auto largest = WavHeaderBytes({8000, 6}, WavMaxDataBytes({8000, 6}));
    EXPECT_EQ(Bytes(largest.begin() + 4, largest.begin() + 8), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(WavHeader, TakesAnRf64FilesDataSizeFromItsDs64Chunk) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", FormatChunk(1, 1, 8000, 16));
    PutChunk(chunks, "LIST", Bytes(5, 'x'));
    PutChunk(chunks, "data", kSamples, 0xFFFFFFFF);
    Bytes file = Rf64(chunks, 0x123456789A, 0x12345678, 0x91A2B3C);
    const Parsed parsed = ParseFile(file);
    EXPECT_EQ(parsed.header.problem, WavProblem::None);
    EXPECT_EQ(parsed.header.dataBytes, 0x12345678u);
    EXPECT_EQ(parsed.header.headerBytes, 12u + 36 + 24 + 14 + 8);
    EXPECT_EQ(parsed.rest, kSamples);

    // BW64 is the same file; a 32-bit data size other than 0xFFFFFFFF is the data's own.
    file[0] = 'B';
    file[1] = 'W';
    file[file.size() - kSamples.size() - 4] = 12;
    EXPECT_EQ(ParseFile(file).header.dataBytes, 0xFFFFFF0Cu);

    // What a WAV file is refused for, an RF64 one is: a header cut short, other samples.
    EXPECT_EQ(ParseFile(Bytes(file.begin(), file.begin() + 40)).header.problem, WavProblem::CutShort);
    Bytes floats;
    PutChunk(floats, "fmt ", FormatChunk(3, 1, 8000, 32));
    PutChunk(floats, "data", kSamples, 0xFFFFFFFF);
    EXPECT_EQ(ParseFile(Rf64(floats, 0, 0, 0)).header.problem, WavProblem::NotPcm);
}

// The 64-bit sizes a header at `at` claims.
std::uint64_t Load64At(const std::vector<std::uint8_t>& header, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) value |= std::uint64_t{header.at(at + i)} << (8 * i);
    return value;
}

TEST(WavHeaderBytes, TurnsRf64Past4GiBAndKeepsTheCanonicalHeaderBelow) {
    const WavFormat mono{8000, 1};
    const std::uint64_t most = WavMaxDataBytes(mono);
    EXPECT_EQ(most, 4294967258u);
    const auto under = WavHeaderBytes(mono, most);
    EXPECT_EQ(under.size(), kWavHeaderBytes);
    EXPECT_EQ(Bytes(under.begin(), under.begin() + 4), (Bytes{'R', 'I', 'F', 'F'}));

    const std::uint64_t past = most + 3;  // odd: the RIFF size counts the pad byte
    Bytes chunks;
    PutChunk(chunks, "fmt ", FormatChunk(1, 1, 8000, 16));
    chunks.insert(chunks.end(), {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF});
    const Bytes expected = Rf64(chunks, 72 + past + 1, past, past / 2);
    EXPECT_EQ(WavHeaderBytes(mono, past), expected);
    EXPECT_EQ(WavHeaderBytes(mono, past, WavSizes::Reserved), expected);
    const Parsed parsed = ParseFile(expected);
    EXPECT_EQ(parsed.header.dataBytes, past);
    EXPECT_EQ(parsed.header.headerBytes, 80u);

    // Reserved: a JUNK chunk of zeros where the ds64 chunk goes, the sizes
    // plain while they fit beside it.
    const std::uint64_t mostReserved = WavMaxDataBytes(mono, WavSizes::Reserved);
    EXPECT_EQ(mostReserved, most - 36);
    Bytes junk{'J', 'U', 'N', 'K', 28, 0, 0, 0};
    junk.resize(36);
    junk.insert(junk.end(), chunks.begin(), chunks.end() - 4);
    Put32(junk, static_cast<std::uint32_t>(mostReserved));
    Bytes reserved = Riff(junk);
    reserved[4] = 0xFE;  // 72 header bytes after the first 8, and the samples
    reserved[5] = reserved[6] = reserved[7] = 0xFF;
    EXPECT_EQ(WavHeaderBytes(mono, mostReserved, WavSizes::Reserved), reserved);
    EXPECT_EQ(ParseFile(reserved).header.dataBytes, mostReserved);
    EXPECT_EQ(ParseFile(reserved).header.headerBytes, 80u);
    const auto reservedPast = WavHeaderBytes(mono, mostReserved + 2, WavSizes::Reserved);
    EXPECT_EQ(Bytes(reservedPast.begin(), reservedPast.begin() + 16), (Bytes{'R', 'F', '6', '4', 0xFF, 0xFF, 0xFF, 0xFF,
                                                                             'W', 'A', 'V', 'E', 'd', 's', '6', '4'}));
    EXPECT_EQ(Load64At(reservedPast, 28), mostReserved + 2);

    // Past two channels: the extensible format chunk, behind the ds64 chunk.
    const WavFormat six{48000, 6};
    const auto sixPast = WavHeaderBytes(six, WavMaxDataBytes(six) + 2);
    EXPECT_EQ(sixPast.size(), kWavExtensibleHeaderBytes + 36);
    EXPECT_EQ(Load64At(sixPast, 20), kWavExtensibleHeaderBytes + 36 - 8 + WavMaxDataBytes(six) + 2);
    EXPECT_EQ(Load64At(sixPast, 36), (WavMaxDataBytes(six) + 2) / 12);
    EXPECT_EQ(ParseFile(sixPast).header.format.channelMask, 0x3Fu);
    EXPECT_EQ(WavHeaderBytes(six, WavMaxDataBytes(six)).size(), kWavExtensibleHeaderBytes);
}

#ifndef _WIN32
// What a program prints, or "" when it cannot be run.
std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        pclose(pipe);
    }
    return output;
}

TEST(WavHeaderBytes, WritesAnRf64HeaderThatSoxAndFfmpegRead) {
    if (Output("command -v sox").empty() || Output("command -v ffprobe").empty())
        GTEST_SKIP() << "sox or ffprobe is not installed";
    TempFolder folder;
    const WavFormat stereo{22050, 2};
    const std::uint64_t bytes = 22050 * 4 * 3;  // 3 s
    auto file = WavHeaderBytesRf64From(stereo, bytes, WavSizes::Fitted, 0);
    file.resize(file.size() + bytes, 0x11);
    const std::string path = folder.Write("short.wav", Bytes(file.begin(), file.end()));
    EXPECT_EQ(Output("sox --i -s '" + path + "'"), "66150\n");
    EXPECT_EQ(Output("ffprobe -v error -show_entries format=format_name,duration -of csv=p=0 '" + path + "'"),
              "wav,3.000000\n");
}
#endif

}  // namespace
}  // namespace varnel
