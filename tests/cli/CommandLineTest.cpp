#include "cli/CommandLine.h"
#include "cli/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace varnel::cli {
namespace {

ParsedCommandLine Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "varnel-cli");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, NamesEachFunctionByItsWord) {
    EXPECT_EQ(FunctionNamed("mono"), ProcessFunction::Mono);
    EXPECT_EQ(FunctionNamed("stereo"), ProcessFunction::Stereo);
    EXPECT_EQ(FunctionNamed("join12"), ProcessFunction::Join1To2);
    EXPECT_EQ(FunctionNamed("join21"), ProcessFunction::Join2To1);
    EXPECT_EQ(FunctionNamed("Mono"), ProcessFunction::None);
}

TEST(CommandLine, TakesTheFourArgumentsAndTheOptionsAnywhere) {
    const ParsedCommandLine parsed = Parse({"stereo", "a.pcm", "--pad", "b.o22", "out.pcm", "--json"});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.text;
    EXPECT_EQ(parsed.options.function, ProcessFunction::Stereo);
    EXPECT_EQ(parsed.options.inputs, (std::vector<std::string>{"a.pcm", "b.o22"}));
    EXPECT_EQ(parsed.options.output, "out.pcm");
    EXPECT_TRUE(parsed.options.pad);
    EXPECT_TRUE(parsed.options.json);
    EXPECT_EQ(parsed.options.progress, ProgressChoice::Auto);
}

TEST(CommandLine, PathsThatStartWithASlashAreArgumentsNotOptions) {
    // "/q" is a file at the root of the current drive on Windows as well.
    const ParsedCommandLine parsed = Parse({"mono", "/q", "/a/b.pcm", "/json"});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.text;
    EXPECT_EQ(parsed.options.inputs, (std::vector<std::string>{"/q", "/a/b.pcm"}));
    EXPECT_EQ(parsed.options.output, "/json");
    EXPECT_FALSE(parsed.options.quiet);
}

TEST(CommandLine, QuietAndProgressChooseTheBar) {
    EXPECT_EQ(Parse({"-q", "mono", "a", "b", "c"}).options.progress, ProgressChoice::Off);
    EXPECT_TRUE(Parse({"--quiet", "mono", "a", "b", "c"}).options.quiet);
    EXPECT_EQ(Parse({"--progress", "mono", "a", "b", "c"}).options.progress, ProgressChoice::Forced);
    EXPECT_EQ(Parse({"-q", "--progress", "mono", "a", "b", "c"}).kind, ParsedCommandLine::Kind::UsageError);
}

TEST(CommandLine, SaysWhatIsWrongInOneLine) {
    for (const auto& arguments : std::vector<std::vector<const char*>>{{},
                                                                       {"mono"},
                                                                       {"mono", "a", "b"},
                                                                       {"average", "a", "b", "c"},
                                                                       {"stereo", "a", "b", "c", "d"},
                                                                       {"--volume", "mono", "a", "b", "c"},
                                                                       {"--pad", "join21", "a", "b", "c"},
                                                                       {"--pad=true", "mono", "a", "b", "c"},
                                                                       {"mono", "-x.pcm", "b", "c"}}) {
        const ParsedCommandLine parsed = Parse(arguments);
        EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::UsageError);
        EXPECT_FALSE(parsed.text.empty());
        EXPECT_EQ(parsed.text.find('\n'), std::string::npos) << parsed.text;
    }
}

TEST(CommandLine, HelpAndVersionNeedNoArguments) {
    EXPECT_EQ(Parse({"--help"}).kind, ParsedCommandLine::Kind::Help);
    const ParsedCommandLine version = Parse({"--version"});
    EXPECT_EQ(version.kind, ParsedCommandLine::Kind::Version);
    EXPECT_EQ(version.text, "varnel-cli " VARNEL_PROJECT_VERSION);
}

TEST(CommandLine, RawAndRateChooseHowFilesAreRead) {
    const ParsedCommandLine parsed = Parse({"--raw", "--rate", "44100", "mono", "a.wav", "b.wav", "c.wav"});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.text;
    EXPECT_TRUE(parsed.options.raw);
    EXPECT_EQ(parsed.options.rate, 44100u);
    EXPECT_EQ(Parse({"mono", "a", "b", "c"}).options.rate, 0u);
    for (const char* wrong : {"0", "-5", "fast", "4294967296", "22050.5"}) {
        EXPECT_EQ(Parse({"--rate", wrong, "mono", "a", "b", "c"}).kind, ParsedCommandLine::Kind::UsageError) << wrong;
    }
    EXPECT_EQ(Parse({"mono", "a", "b", "c", "--rate"}).kind, ParsedCommandLine::Kind::UsageError);
}

TEST(CommandLine, RatesAreDecimalHzWithKForThousands) {
    const std::vector<std::pair<const char*, std::uint32_t>> rates{
        {"22050", 22050}, {"022050", 22050},  {"08000", 8000},    {"22k", 22000},
        {"44.1k", 44100}, {"11.025K", 11025}, {"22.050k", 22050}, {"4294967295", 4294967295u}};
    for (const auto& [text, hz] : rates) {
        for (const std::vector<const char*>& arguments : std::vector<std::vector<const char*>>{
                 {"--rate", text, "mono", "a", "b", "c"}, {"-r", text, "mono", "a", "b", "c"}}) {
            const ParsedCommandLine parsed = Parse(arguments);
            ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << text << ": " << parsed.text;
            EXPECT_EQ(parsed.options.rate, hz) << text;
        }
    }
    EXPECT_EQ(Parse({"-qr8000", "mono", "a", "b", "c"}).options.rate, 8000u);
    EXPECT_TRUE(Parse({"-qr8000", "mono", "a", "b", "c"}).options.quiet);
    EXPECT_EQ(Parse({"-qr", "8k", "mono", "a", "b", "c"}).options.rate, 8000u);
    EXPECT_EQ(Parse({"--rate=8k", "mono", "a", "b", "c"}).options.rate, 8000u);

    EXPECT_EQ(Parse({"--rate", "mono", "a.pcm", "b.pcm", "o.pcm"}).text, "--rate needs a number of Hz, not 'mono'");
    EXPECT_EQ(Parse({"-r", "0x5622", "mono", "a", "b", "c"}).text, "--rate needs a number of Hz, not '0x5622'");
    EXPECT_EQ(Parse({"-r", "44.1", "mono", "a", "b", "c"}).text, "--rate 44.1 is not a whole number of Hz");
    EXPECT_EQ(Parse({"-r", "44.1001k", "mono", "a", "b", "c"}).text, "--rate 44.1001k is not a whole number of Hz");
    EXPECT_EQ(Parse({"-r", "4294968k", "mono", "a", "b", "c"}).text,
              "--rate 4294968k is out of range: 1 to 4294967295 Hz");
    for (const char* wrong : {"", "k", ".5k", "22.k", "22kk", "1e4", "+8000", " 8000"}) {
        EXPECT_EQ(Parse({"--rate", wrong, "mono", "a", "b", "c"}).kind, ParsedCommandLine::Kind::UsageError) << wrong;
    }
}

TEST(CommandLine, QuestionMarksAskForHelpAsOnWindows) {
    for (const char* ask : {"/?", "-?"}) {
        const ParsedCommandLine parsed = Parse({"mono", ask});
        EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::Help) << ask;
        EXPECT_EQ(parsed.text, HelpText());
    }
    // After -- it is a file's name.
    EXPECT_EQ(Parse({"mono", "a", "b", "--", "-?"}).options.output, "-?");
}

// A short option's cluster must be options to its end: left alone, "-q"
// plus a file nobody typed.
TEST(CommandLine, AWordThatIsNoOptionIsAWrongCommandLine) {
    for (const char* word : {"-q--out.pcm", "-q out.pcm", "-qx", "-q-"}) {
        const ParsedCommandLine parsed = Parse({"mono", "a.pcm", "b.pcm", word});
        EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::UsageError) << word;
        EXPECT_EQ(parsed.text.rfind("unknown option '" + std::string(word) + "'", 0), 0u) << parsed.text;
    }
    EXPECT_EQ(Parse({"mono", "a.pcm", "b.pcm", "-q out.pcm"}).text,
              "unknown option '-q out.pcm' (a file named so is written ./-q out.pcm, or after --)");
    EXPECT_EQ(Parse({"mono", "a.pcm", "b.pcm", "--", "-q out.pcm"}).options.output, "-q out.pcm");
}

// No list syntax, no splitting at commas or at "=": each word is a name.
TEST(CommandLine, EveryFileIsTheWordAsTyped) {
    const std::vector<std::string> names{"[take]", "[a,b]", "a,b", "c=d", "", "two words", "[out]"};
    const ParsedCommandLine parsed =
        Parse({"mono", names[0].c_str(), names[1].c_str(), "-q", names[2].c_str(), names[3].c_str(),
               names[4].c_str(), names[5].c_str(), "--", "-x", names[6].c_str()});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.text;
    std::vector<std::string> expected(names.begin(), names.end() - 1);
    expected.push_back("-x");
    EXPECT_EQ(parsed.options.inputs, expected);
    EXPECT_EQ(parsed.options.output, "[out]");
    EXPECT_EQ(Parse({"--inputs-from", "[list]", "mono", "a", "b", "c"}).options.inputsFrom, "[list]");
}

TEST(CommandLine, AverageIsForMonoOnly) {
    EXPECT_TRUE(Parse({"--average", "mono", "a", "b", "c"}).options.average);
    EXPECT_FALSE(Parse({"mono", "a", "b", "c"}).options.average);
    EXPECT_EQ(Parse({"--average", "stereo", "a", "b", "c"}).text, "--average works with mono only");
}

TEST(CommandLine, OutputTypeOverridesTheOutputsName) {
    EXPECT_EQ(Parse({"mono", "a", "b", "out.wav"}).options.outputType, OutputType::ByName);
    EXPECT_EQ(Parse({"--output-type", "wav", "mono", "a", "b", "-"}).options.outputType, OutputType::Wav);
    EXPECT_EQ(Parse({"mono", "a", "b", "out.wav", "-t", "raw"}).options.outputType, OutputType::Raw);
    EXPECT_EQ(Parse({"-t", "WAV", "mono", "a", "b", "c"}).kind, ParsedCommandLine::Kind::UsageError);
    EXPECT_EQ(Parse({"mono", "a", "b", "c", "-t"}).kind, ParsedCommandLine::Kind::UsageError);
}

}  // namespace
}  // namespace varnel::cli
