#include "cli/Summary.h"

#include <gtest/gtest.h>

namespace varnel::cli {
namespace {

RunSummary Summary(ProcessFunction function, const char* name, std::uint64_t bytes1, std::uint64_t bytes2,
                   std::uint64_t output, bool pad = false) {
    RunSummary summary;
    summary.function = function;
    summary.functionName = name;
    summary.paths.inputs = {"", ""};
    summary.inputs = {{bytes1}, {bytes2}};
    summary.outputBytes = output;
    summary.padded = pad;
    summary.succeeded = true;
    return summary;
}

TEST(Summary, NamesWhatMonoAndStereoLeftUnused) {
    RunSummary mono = Summary(ProcessFunction::Mono, "mono", 2000, 1201, 1200);
    mono.inputs[0].unused = 400;
    EXPECT_EQ(SummaryLines(mono).back(), "note: the last 400 samples of input 1 were not used (--pad covers them)");
    mono.inputs[0].unused = 1;
    EXPECT_EQ(SummaryLines(mono).back(), "note: the last sample of input 1 was not used (--pad covers it)");
}

TEST(Summary, JoinsWarnOfAnOddByteThatShiftsTheOtherInput) {
    EXPECT_EQ(SummaryLines(Summary(ProcessFunction::Join2To1, "join21", 4, 3, 7)),
              (std::vector<std::string>{"join21: input 1 2 samples (raw), input 2 1 sample and 1 byte (raw), "
                                        "output 3 samples and 1 byte (raw)",
                                        "note: input 2 ends in an odd byte, copied as it is; the samples of input 1 "
                                        "after it are one byte out of step"}));
    EXPECT_EQ(SummaryLines(Summary(ProcessFunction::Join2To1, "join21", 3, 4, 7))[1],
              "note: input 1 ends in an odd byte, copied as it is");
}

TEST(Summary, JsonQuotesWhatItMust) {
    RunSummary failed = Summary(ProcessFunction::Mono, "mono", 0, 0, 0);
    failed.succeeded = false;
    failed.paths = {{"in \"1\".pcm", "C:\\two.pcm"}, "-"};
    failed.failures = {{"open-not-found", "cannot open input 1 'in \"1\".pcm': no such file", "input1", "in \"1\".pcm"},
                       {"refused", "d\te", "", ""}};
    EXPECT_EQ(SummaryJson(failed),
              "{\"version\":\"" VARNEL_PROJECT_VERSION
              "\",\"function\":\"mono\",\"succeeded\":false,"
              "\"input1\":{\"path\":\"in \\\"1\\\".pcm\"},\"input2\":{\"path\":\"C:\\\\two.pcm\"},"
              "\"output\":{\"path\":\"-\"},\"failures\":["
              "{\"code\":\"open-not-found\",\"message\":\"cannot open input 1 'in \\\"1\\\".pcm': no such file\","
              "\"file\":\"input1\",\"path\":\"in \\\"1\\\".pcm\"},"
              "{\"code\":\"refused\",\"message\":\"d\\te\"}],"
              "\"inputs\":[{\"path\":\"in \\\"1\\\".pcm\"},{\"path\":\"C:\\\\two.pcm\"}]}");
}

TEST(Summary, JsonOfAStereoRunCountsFrames) {
    EXPECT_EQ(SummaryJson(Summary(ProcessFunction::Stereo, "stereo", 4, 4, 8, true)),
              "{\"version\":\"" VARNEL_PROJECT_VERSION
              "\",\"function\":\"stereo\",\"succeeded\":true,\"padded\":true,"
              "\"input1\":{\"path\":\"\",\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
              "\"input2\":{\"path\":\"\",\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
              "\"output\":{\"path\":\"\",\"bytes\":8,\"samples\":4,\"frames\":2,\"format\":\"raw\"},"
              "\"inputs\":[{\"path\":\"\",\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"},"
              "{\"path\":\"\",\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0,"
              "\"lengthChanged\":false,\"lengthKnown\":true,\"format\":\"raw\"}]}");
}

TEST(Summary, NamesEachFormatWithItsDurationAndACutShortInput) {
    RunSummary summary = Summary(ProcessFunction::Stereo, "stereo", 44100, 44100, 88200);
    summary.formats.inputs = {{true, 22050, 1, true, 100000}, {false, 22050, 1, false, 0}};
    summary.formats.output = {true, 22050, 2, false, 0};
    EXPECT_EQ(SummaryLines(summary),
              (std::vector<std::string>{"stereo: input 1 22050 samples (WAV, 22050 Hz, 1 channel, 1.000 s), input 2 "
                                        "22050 samples (raw, 22050 Hz, 1 channel, 1.000 s), output 22050 stereo "
                                        "frames (WAV, 22050 Hz, 2 channels, 1.000 s)",
                                        "note: input 1's data chunk claims 100000 bytes, but the file holds 44100 (a "
                                        "recording cut short?); read to its end"}));
    const std::string json = SummaryJson(summary);
    EXPECT_NE(json.find("\"format\":\"wav\",\"sampleRate\":22050,\"channels\":1,\"seconds\":1,\"cutShort\":true}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"format\":\"wav\",\"sampleRate\":22050,\"channels\":2,\"seconds\":1}"), std::string::npos)
        << json;
}

// The lengths and notes are those the run found; a failed run may not have
// read anything: the lengths as opened.
TEST(Summary, GivesTheLengthsTheRunFound) {
    CliOptions options;
    options.function = ProcessFunction::Mono;
    RunResult result;
    options.inputs = {"a.pcm", "b.pcm"};
    result.lengths = {100, 100};
    result.inputs = {{130, true, true, 15}, {40, false, false, 0}};
    const RunSummary summary = SummaryOf(options, result, true, {});
    ASSERT_EQ(summary.inputs.size(), 2u);
    EXPECT_EQ(summary.inputs[0].bytes, 130u);
    EXPECT_TRUE(summary.inputs[0].changed);
    EXPECT_FALSE(summary.inputs[0].unfinished);
    EXPECT_EQ(summary.inputs[0].unused, 15u);
    EXPECT_EQ(summary.inputs[1].bytes, 40u);
    EXPECT_FALSE(summary.inputs[1].changed);
    EXPECT_TRUE(summary.inputs[1].unfinished);
    EXPECT_EQ(SummaryOf(options, result, false, {Failure{"refused", "x", "", ""}}).inputs[0].bytes, 100u);
}

}  // namespace
}  // namespace varnel::cli
