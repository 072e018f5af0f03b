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
    EXPECT_EQ(RiffKindOf(first, sizeof first), RiffKind::Wav);
    Parsed parsed{ReadWavHeader(source), Bytes(file.size())};
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

}  // namespace
}  // namespace varnel
