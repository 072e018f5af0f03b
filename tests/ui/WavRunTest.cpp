// The window on WAV files: real files on disk run from the real window, its
// outputs compared byte for byte with what varnel-cli writes for the same
// inputs and function, and the sound files it refuses named in their boxes
// before the output is touched.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "ChildProcess.h"
#include "WindowTestSupport.h"
#include "resources/resource.h"
#include "support/ExpectedOutput.h"
#include "support/WavBytes.h"

namespace varnel {
namespace {

using test::Bytes;
using test::PatternBytes;
using test::PressButton;
using test::WavBytes;
using test::WavShape;

constexpr std::size_t kWavHeader = 44;

class WavWindowRun : public test::VarnelWindow {
protected:
    // Runs the function of `radio` on the three paths from the window; returns
    // the texts shown, each box answered with OK.
    std::vector<std::string> RunFromWindow(const std::string& one, const std::string& two, const std::string& out,
                                           int radio = IDC_MONO) {
        std::vector<test::BoxContents> shown;
        CVarnelDlg dlg(Ini());
        Open(dlg, [&](HWND hwnd) {
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_1, one.c_str());
            SetDlgItemTextA(hwnd, IDC_SOUND_FILE_2, two.c_str());
            SetDlgItemTextA(hwnd, IDC_OUTPUT_FILE, out.c_str());
            PressButton(hwnd, radio);
            for (int i = 0; i < 2; ++i) Answer(shown);
            PressButton(hwnd, IDC_RUN);
            PressButton(hwnd, IDCANCEL);
        });
        std::vector<std::string> texts;
        for (const auto& box : shown) texts.push_back(box.text);
        return texts;
    }

    // An output that exists before the run: a refusal must leave it as it is.
    std::string m_keep = m_folder.Write("keep.wav", Bytes{'k', 'e', 'e', 'p'});
};

struct FunctionOf {
    int radio;
    const char* cli;
};
constexpr FunctionOf kFunctions[] = {
    {IDC_MONO, "mono"}, {IDC_STEREO, "stereo"}, {IDC_JOIN_1_TO_2, "join12"}, {IDC_JOIN_2_TO_1, "join21"}};

TEST_F(WavWindowRun, WavAndRawInputsGiveTheBytesVarnelCliWrites) {
    const Bytes a = PatternBytes(3002, 1), b = PatternBytes(2400, 2);
    const std::string wav1 = m_folder.Write("one.wav", WavBytes(a, {.listChunkFirst = true}));
    const std::string wav2 = m_folder.Write("two.wav", WavBytes(b));
    const std::string raw2 = m_folder.Write("two.pcm", b);
    const std::pair<std::string, std::string> inputs[] = {{wav1, wav2}, {wav1, raw2}, {raw2, wav1}};
    for (const auto& [one, two] : inputs) {
        for (const char* name : {"mix.WAV", "mix.pcm"}) {
            for (const FunctionOf& function : kFunctions) {
                const std::string where = one + " " + two + " " + name + " " + function.cli;
                const std::string window = m_folder / name, cli = m_folder / ("cli-" + std::string(name));
                EXPECT_TRUE(RunFromWindow(one, two, window, function.radio).empty()) << where;
                const auto ran = test::RunCliProgram({"-q", function.cli, one, two, cli}, m_folder.Path().string());
                ASSERT_EQ(ran.exitCode, 0) << where << ran.err;
                const Bytes written = test::ReadBytes(window);
                EXPECT_EQ(written, test::ReadBytes(cli)) << where;
                if (name[4] == 'W') {
                    ASSERT_GT(written.size(), kWavHeader) << where;
                    EXPECT_EQ(std::string(written.begin(), written.begin() + 4), "RIFF") << where;
                    EXPECT_EQ(written[22], function.radio == IDC_STEREO ? 2 : 1) << where;  // channels
                }
            }
        }
    }
    // The samples themselves, as the functions define them.
    RunFromWindow(wav1, wav2, m_folder / "mix.wav", IDC_STEREO);
    const Bytes written = test::ReadBytes(m_folder / "mix.wav");
    EXPECT_EQ(Bytes(written.begin() + kWavHeader, written.end()), test::ExpectedStereo(a, b));
    RunFromWindow(wav1, raw2, m_folder / "mix.pcm", IDC_JOIN_2_TO_1);
    EXPECT_EQ(test::ReadBytes(m_folder / "mix.pcm"), test::Concatenated(b, a));
}

// Raw samples carry no rate, and the window asks for none: a .wav name
// would hold no WAV. The output, old or new, is never opened.
TEST_F(WavWindowRun, RawInputsAloneAreRefusedAWavOutputBeforeItIsTouched) {
    const Bytes a = PatternBytes(900, 3), b = PatternBytes(700, 4);
    const std::string one = m_folder.Write("one.pcm", a), two = m_folder.Write("two.o22", b);
    const auto keptTime = std::filesystem::last_write_time(m_keep) - std::chrono::hours(1);
    std::filesystem::last_write_time(m_keep, keptTime);
    const std::string fresh = m_folder / "new.WAV";
    for (const FunctionOf& function : kFunctions) {
        for (const std::string& out : {m_keep, fresh}) {
            EXPECT_EQ(RunFromWindow(one, two, out, function.radio),
                      std::vector<std::string>{out + " is named as a WAV file, but both inputs are raw samples, "
                                                     "which carry no rate: name the output .pcm, or use WAV inputs."})
                << function.cli;
        }
        EXPECT_EQ(test::ReadBytes(m_keep), (Bytes{'k', 'e', 'e', 'p'}));
        EXPECT_EQ(std::filesystem::last_write_time(m_keep), keptTime);
        EXPECT_FALSE(std::filesystem::exists(fresh));
    }
    // Any other name: the samples alone, as ever.
    EXPECT_TRUE(RunFromWindow(one, two, m_folder / "mix.wav.pcm", IDC_MONO).empty());
    EXPECT_EQ(test::ReadBytes(m_folder / "mix.wav.pcm"), test::ExpectedMono(a, b));
}

TEST_F(WavWindowRun, SoundFilesItCannotUseAreNamedBeforeTheOutputIsTouched) {
    const Bytes samples = PatternBytes(400, 5);
    const std::string mono = m_folder.Write("mono.wav", WavBytes(samples));
    const std::string deep = m_folder.Write("deep.wav", WavBytes(samples, {.bits = 24}));
    const std::string fast = m_folder.Write("fast.wav", WavBytes(samples, {.rate = 44100}));
    const std::string both = m_folder.Write("both.wav", WavBytes(samples, {.channels = 2}));
    Bytes cutBytes = WavBytes(samples);
    cutBytes.resize(30);
    const std::string cut = m_folder.Write("cut.wav", cutBytes);
    // A file that begins as a RIFF file is never taken for raw samples.
    const std::string stub = m_folder.Write("stub.pcm", Bytes{'R', 'I', 'F', 'F', 8, 0, 0, 0});
    const std::string avi = m_folder.Write("clip.avi", Bytes{'R', 'I', 'F', 'F', 8, 0, 0, 0, 'A', 'V', 'I', ' '});
    const std::string readable = "Varnel reads raw 16-bit samples and 16-bit PCM WAV files: convert it first.";
    const struct {
        std::string one, two;
        int radio;
        std::string text;
    } cases[] = {
        {mono, deep, IDC_MONO, "Sound File 2 (" + deep + ") holds 24-bit samples; " + readable},
        {cut, mono, IDC_JOIN_1_TO_2, "Sound File 1 (" + cut + ") is a WAV file that ends before its samples begin."},
        {mono, stub, IDC_MONO, "Sound File 2 (" + stub + ") is a WAV header cut short."},
        {avi, mono, IDC_JOIN_2_TO_1, "Sound File 1 (" + avi + ") is a RIFF file of type 'AVI ', not a WAV file."},
        {mono, fast, IDC_JOIN_2_TO_1,
         "The sound files' rates differ: Sound File 1 (" + mono + ") has 22050 Hz, Sound File 2 (" + fast +
             ") 44100 Hz."},
        {both, mono, IDC_STEREO,
         "Merge : Stereo needs two one-channel sound files: Sound File 1 (" + both + ") has 2 channels."},
        {mono, both, IDC_MONO,
         "Merge : Mono needs sound files of equal channel counts: Sound File 1 (" + mono + ") has 1 channel, " +
             "Sound File 2 (" + both + ") 2 channels."},
    };
    for (const auto& run : cases) {
        EXPECT_EQ(RunFromWindow(run.one, run.two, m_keep, run.radio), std::vector<std::string>{run.text});
        EXPECT_EQ(test::ReadBytes(m_keep), (Bytes{'k', 'e', 'e', 'p'}));
    }
}

// `wav`, a canonical WAV file of one channel, as an RF64 file: its sizes in a ds64 chunk.
Bytes AsRf64(const Bytes& wav) {
    const std::uint64_t data = wav.size() - kWavHeader;
    Bytes file{'R', 'F', '6', '4', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E', 'd', 's', '6', '4', 28, 0, 0, 0};
    for (const std::uint64_t value : {wav.size() + 36 - 8, data, data / 2}) {
        for (int i = 0; i < 8; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    file.insert(file.end(), 4, 0);
    file.insert(file.end(), wav.begin() + 12, wav.end());
    std::fill_n(file.begin() + 36 + 40, 4, 0xFF);  // the data size: the ds64 chunk's
    return file;
}

TEST_F(WavWindowRun, AnRf64InputIsReadAsItsWavTwin) {
    const Bytes a = PatternBytes(1200, 6), b = PatternBytes(800, 7);
    const std::string wav = m_folder.Write("one.wav", WavBytes(a)), two = m_folder.Write("two.wav", WavBytes(b));
    const std::string rf64 = m_folder.Write("one64.wav", AsRf64(WavBytes(a)));
    EXPECT_TRUE(RunFromWindow(rf64, two, m_folder / "from64.wav", IDC_JOIN_1_TO_2).empty());
    EXPECT_TRUE(RunFromWindow(wav, two, m_folder / "fromwav.wav", IDC_JOIN_1_TO_2).empty());
    const Bytes written = test::ReadBytes(m_folder / "from64.wav");
    EXPECT_EQ(written, test::ReadBytes(m_folder / "fromwav.wav"));
    EXPECT_EQ(Bytes(written.begin() + kWavHeader, written.end()), test::Concatenated(a, b));
}

}  // namespace
}  // namespace varnel
