// File names in any script: the real program given Cyrillic, Chinese, Greek
// and accented names for its inputs and its output, whatever the system's
// legacy code page (on Windows the program's manifest makes its narrow
// strings UTF-8), and its text reaching a console as the characters written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "cli/Console.h"
#include "support/ExpectedOutput.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <ostream>
#endif

namespace varnel {
namespace {

using test::Bytes;
using test::PatternBytes;
using test::ProgramOutcome;

const std::string kCyrillic = "\u0417\u0432\u0443\u043a \u043e\u0434\u0438\u043d.pcm";           // Звук один
const std::string kChinese = "\u58f0\u97f3\u4e8c.o22";                                           // 声音二
const std::string kGreek = "\u0389\u03c7\u03bf\u03c2 \u03ad\u03be\u03bf\u03b4\u03bf\u03c2.pcm";  // Ήχος έξοδος
const std::string kAccented = "caf\u00e9 d\u00e9j\u00e0 \u00fcber.pcm";                          // café déjà über

class ForeignNames : public ::testing::Test {
protected:
    ProgramOutcome Cli(const std::vector<std::string>& arguments) {
        return test::RunCliProgram(arguments, m_folder.Path().string());
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
            const std::u8string name = entry.path().filename().u8string();
            names.emplace_back(name.begin(), name.end());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempFolder m_folder;
};

TEST_F(ForeignNames, InputsAndOutputInAnyScriptAreReadAndWritten) {
    const Bytes one = PatternBytes(5003, 7), two = PatternBytes(3001, 90);
    const std::string pairs[][3] = {
        {kCyrillic, kChinese, kGreek},
        {kAccented, kCyrillic, kChinese},
        {kGreek, kAccented, kCyrillic},
    };
    for (const auto& [input1, input2, output] : pairs) {
        m_folder.Write(input1, one);
        m_folder.Write(input2, two);
        ProgramOutcome outcome = Cli({"-q", "join12", input1, input2, output});
        ASSERT_EQ(outcome.exitCode, 0) << output << ": " << outcome.err;
        EXPECT_EQ(test::ReadBytes(m_folder / output), test::Concatenated(one, two)) << output;
        // Full paths as well as names relative to the current folder.
        outcome = Cli({"-q", "mono", m_folder / input2, m_folder / input1, m_folder / output});
        ASSERT_EQ(outcome.exitCode, 0) << output << ": " << outcome.err;
        EXPECT_EQ(test::ReadBytes(m_folder / output), test::ExpectedMono(two, one)) << output;
    }
    // Nothing written under a mangled name beside them.
    std::vector<std::string> expected{kCyrillic, kChinese, kGreek, kAccented};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(), expected);
}

TEST_F(ForeignNames, NamesInTheProgramsMessagesKeepTheirCharacters) {
    // A name the command line does not expect is quoted back in the hint.
    const ProgramOutcome outcome = Cli({"join21", "a.pcm", "b.pcm", kChinese, "c.pcm"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find(kChinese), std::string::npos) << outcome.err;
}

#ifdef _WIN32
// The console that the program writes to shows the characters themselves,
// not the UTF-8 bytes read in the console's own code page.
TEST(ConsoleText, Utf8TextShowsAsItsCharactersOnAConsole) {
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    SetConsoleOutputCP(850);  // a Western console's own code page
    const COORD home{0, 0};
    DWORD filled = 0;
    FillConsoleOutputCharacterW(screen, L' ', 80 * 4, home, &filled);
    SetConsoleCursorPosition(screen, home);

    // As a console program's standard output is: the screen buffer's handle,
    // readable and writable.
    std::FILE* console = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(screen), _O_WRONLY), "w");
    ASSERT_NE(console, nullptr);
    std::ostream out(nullptr);
    cli::ShowUtf8OnConsole(out, console);
    ASSERT_NE(out.rdbuf(), nullptr) << "the console was not recognised";
    // Written in pieces that cut characters in two, as a stream may.
    const std::string text = kCyrillic + " " + kChinese + " " + kGreek;
    for (std::size_t at = 0; at < text.size(); at += 5) out << text.substr(at, 5);
    out << std::flush;

    const std::wstring expected =
        L"\u0417\u0432\u0443\u043a \u043e\u0434\u0438\u043d.pcm \u58f0\u97f3\u4e8c.o22 "
        L"\u0389\u03c7\u03bf\u03c2 \u03ad\u03be\u03bf\u03b4\u03bf\u03c2.pcm";
    std::wstring shown(expected.size(), L'\0');
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), home, &read));
    shown.resize(read);
    EXPECT_TRUE(shown == expected);
    EXPECT_EQ(GetConsoleOutputCP(), 850u) << "the console's own code page is left alone";

    std::fclose(console);  // and the screen buffer's handle with it
    FreeConsole();
}
#endif

}  // namespace
}  // namespace varnel
