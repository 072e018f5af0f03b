// The version records of the two released programs, read as Windows reads
// them (Explorer's Properties > Details), and varnel-cli's --version: all
// show the project's one version. And what their manifests ask of Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace {

// CTest hands over POSIX paths; under Wine the current drive is Z:, whose
// root is the POSIX root.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

const std::string kStage = WindowsPath(VARNEL_DIST_STAGE);
constexpr const char* kVersion = VARNEL_VERSION;

struct VersionRecord {
    VS_FIXEDFILEINFO fixed{};
    std::vector<char> data;

    std::string Text(const char* name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(data.data(), key.c_str(), &value, &length) || !value) return "(missing)";
        return static_cast<const char*>(value);
    }
};

std::unique_ptr<VersionRecord> ReadVersionRecord(const std::string& program) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    if (size == 0) return nullptr;
    auto record = std::make_unique<VersionRecord>();
    record->data.resize(size);
    if (!GetFileVersionInfoA(program.c_str(), 0, size, record->data.data())) return nullptr;
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record->data.data(), "\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    record->fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return record;
}

// Runs a console program with its standard output in a file and returns
// what it wrote there.
std::string OutputOf(const std::string& commandLine, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return "(no output file)";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    const BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(out);
    if (!started) return "(not started)";
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const varnel::test::Bytes bytes = varnel::test::ReadBytes(outputFile);
    return std::string(bytes.begin(), bytes.end());
}

void ExpectTheProjectVersion(const char* program) {
    SCOPED_TRACE(program);
    const auto record = ReadVersionRecord(kStage + "\\" + program);
    ASSERT_TRUE(record) << program << " has no version record";
    const DWORD major = VARNEL_VERSION_MAJOR, minor = VARNEL_VERSION_MINOR, patch = VARNEL_VERSION_PATCH;
    EXPECT_EQ(record->fixed.dwFileVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(record->fixed.dwFileVersionLS, MAKELONG(0, patch));
    EXPECT_EQ(record->fixed.dwProductVersionMS, record->fixed.dwFileVersionMS);
    EXPECT_EQ(record->fixed.dwProductVersionLS, record->fixed.dwFileVersionLS);
    EXPECT_EQ(record->Text("FileVersion"), kVersion);
    EXPECT_EQ(record->Text("ProductVersion"), kVersion);
}

TEST(VersionRecord, WindowProgramCarriesTheProjectVersion) { ExpectTheProjectVersion("varnel.exe"); }

TEST(VersionRecord, CliProgramCarriesTheProjectVersion) { ExpectTheProjectVersion("varnel-cli.exe"); }

TEST(VersionRecord, NamesEachProgramAndTheProduct) {
    for (const char* program : {"varnel.exe", "varnel-cli.exe"}) {
        SCOPED_TRACE(program);
        const auto record = ReadVersionRecord(kStage + "\\" + program);
        ASSERT_TRUE(record) << program << " has no version record";
        EXPECT_EQ(record->Text("OriginalFilename"), program);
        EXPECT_EQ(record->Text("ProductName"), "Varnel");
        EXPECT_NE(record->Text("FileDescription"), "(missing)");
    }
}

TEST(CliVersion, IsTheVersionOfItsRecord) {
    varnel::test::TempFolder folder;
    const std::string program = kStage + "\\varnel-cli.exe";
    const auto record = ReadVersionRecord(program);
    ASSERT_TRUE(record);
    const std::string output = OutputOf("\"" + program + "\" --version", folder / "version.txt");
    // A console program's text output ends its lines with CR LF on Windows.
    EXPECT_EQ(output, "varnel-cli " + record->Text("ProductVersion") + "\r\n");
}

// The manifest Windows reads before the program starts.
std::string ManifestOf(const std::string& program) {
    const HMODULE image =
        LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return "(not readable)";
    std::string text = "(none)";
    if (const HRSRC found = FindResourceA(image, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST)) {
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
        if (bytes) text.assign(bytes, SizeofResource(image, found));
    }
    FreeLibrary(image);
    return text;
}

// Without it, Windows guesses from a name such as "setup" that a program
// wants elevation, and redirects its writes to protected folders.
TEST(Manifest, EachProgramRunsWithTheRightsOfWhoeverStartsIt) {
    for (const char* program : {"varnel.exe", "varnel-cli.exe"})
        EXPECT_NE(ManifestOf(kStage + "\\" + program).find("<requestedExecutionLevel level=\"asInvoker\""),
                  std::string::npos)
            << program;
}

}  // namespace
