#include "Summary.h"

#include <gtest/gtest.h>

namespace varnel::cli {
namespace {

RunSummary Summary(ProcessFunction function, const char* name, std::uint64_t bytes1, std::uint64_t bytes2,
                   std::uint64_t output, bool pad = false) {
    RunSummary summary;
    summary.function = function;
    summary.functionName = name;
    summary.input1Bytes = bytes1;
    summary.input2Bytes = bytes2;
    summary.outputBytes = output;
    summary.padded = pad;
    summary.succeeded = true;
    return summary;
}

TEST(Summary, CountsWhatMonoAndStereoLeftUnused) {
    const RunSummary mono = Summary(ProcessFunction::Mono, "mono", 2000, 1201, 1200);
    EXPECT_EQ(UnusedSamples(mono, 1), 400u);
    EXPECT_EQ(UnusedSamples(mono, 2), 0u);
    EXPECT_EQ(UnusedSamples(Summary(ProcessFunction::Stereo, "stereo", 2, 10, 8), 2), 4u);
    EXPECT_EQ(UnusedSamples(Summary(ProcessFunction::Stereo, "stereo", 2, 10, 20, true), 2), 0u);
    EXPECT_EQ(UnusedSamples(Summary(ProcessFunction::Join1To2, "join12", 2, 10, 12), 2), 0u);
}

TEST(Summary, JoinsWarnOfAnOddByteThatShiftsTheOtherInput) {
    EXPECT_EQ(SummaryLines(Summary(ProcessFunction::Join2To1, "join21", 4, 3, 7)),
              (std::vector<std::string>{"join21: input 1 2 samples, input 2 1 sample and 1 byte, output 3 samples "
                                        "and 1 byte",
                                        "note: input 2 ends in an odd byte, copied as it is; the samples of input 1 "
                                        "after it are one byte out of step"}));
    EXPECT_EQ(SummaryLines(Summary(ProcessFunction::Join2To1, "join21", 3, 4, 7))[1],
              "note: input 1 ends in an odd byte, copied as it is");
}

TEST(Summary, JsonQuotesWhatItMust) {
    RunSummary failed = Summary(ProcessFunction::Mono, "mono", 0, 0, 0);
    failed.succeeded = false;
    failed.failures = {"a \"b\"\\c", "d\te"};
    EXPECT_EQ(SummaryJson(failed),
              "{\"function\":\"mono\",\"succeeded\":false,\"failures\":[\"a \\\"b\\\"\\\\c\",\"d\\te\"]}");
}

TEST(Summary, JsonOfAStereoRunCountsFrames) {
    EXPECT_EQ(SummaryJson(Summary(ProcessFunction::Stereo, "stereo", 4, 4, 8, true)),
              "{\"function\":\"stereo\",\"succeeded\":true,\"padded\":true,"
              "\"input1\":{\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0},"
              "\"input2\":{\"bytes\":4,\"samples\":2,\"oddByte\":false,\"unusedSamples\":0},"
              "\"output\":{\"bytes\":8,\"samples\":4,\"frames\":2}}");
}

}  // namespace
}  // namespace varnel::cli
