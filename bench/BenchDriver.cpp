// `make bench`: times varnel-cli, SoX, `cat` (for the joins) and the minimal
// loop (with page-aligned buffers, and with buffers where malloc would put
// them) on the same generated inputs, for all four functions, and prints the
// CPU, the kernel and a table of median times with each one's ratio to the
// aligned loop, the honest limit of a read-transform-write program, and the
// joins' ratio to `cat`, which lets the kernel copy the files
// (copy_file_range): the limit of a join is the faster of the two. It checks that
// varnel-cli writes the same bytes as SoX, `cat` and the loop, and holds
// every size to its goals:
// - inputs of some MiB: varnel-cli within 1.10x of the loop, raw and WAV
//   (the WAV case is varnel-cli on the same samples behind a WAV header,
//   into a WAV output: past the header it must cost what the raw case costs);
// - a pair of small files (5 s prompts at 22,050 Hz, 220,500 bytes, the cost
//   of each file of a batch): within 1.2x of the loop, raw and WAV;
// - joins within 1.05x of `cat` at every size;
// - from 256 MiB on, at least 5x ahead of SoX, or, where the limit itself
//   (the loop, or `cat` for a join) is not that far ahead of SoX on this
//   machine, as far ahead as the limit is, less the margin allowed against
//   it: no program can pass the limit, and the goal is then the limit's.
//
//   bench_driver --cli PATH --loop PATH --work FOLDER [--rounds N] [--sizes 16,256]
//                [--small-bytes 220500] [--small-rounds 201]
//
// How it measures, and why:
// - The tools run round by round, interleaved (both loops, varnel-cli on
//   raw and on WAV files and `cat` for one function, then the next, in an
//   order that turns each round, see RunOrder), so that a slow phase of the
//   machine hits all alike; each cell is the median of the rounds. SoX runs
//   its rounds after them: it writes its output in small pieces for one to
//   four seconds, and the tool that ran next paid for that memory (one run
//   of 0.40 s against 0.12 s), which the turning order gave to the WAV runs
//   and `cat` in every other round.
//   Inputs under 64 MiB get three times the rounds: their runs are short,
//   so a slow moment of the machine weighs more in each.
// - The virtual machine hands memory that stays free for about 2 s back to
//   its host, and touching it again is slow: before each timed run on inputs
//   of some MiB the driver touches more memory than the run will need for
//   its output in the page cache (four times an input, at least 256 MiB, in
//   huge pages, see TouchMemory) and frees it, so that the tool finds memory
//   the guest already holds. No more than that: the guest hands what is
//   freed back in the background, and 1 GiB freed before each run on 16 MiB
//   inputs made those runs' times spread from 12 to 70 ms. The small files'
//   runs follow each other too closely for that to matter.
// - Inputs are dropped from the page cache and read back once before the
//   rounds, so that all of them sit there alike (see WarmPageCache).
// - Each output is deleted before and right after its run (in round 0 once
//   checked against the loop's), so that no tool pays for truncating an
//   earlier one and dirty pages never pile up into writeback: five outputs
//   of 512 MiB would pass the kernel's threshold for it, 10% of memory.
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "processing/WavFormat.h"

extern char** environ;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

struct Options {
    std::string cli;
    std::string loop;
    std::string work;
    int rounds = 5;  // for inputs from 64 MiB on; smaller ones get three times as many
    std::vector<std::size_t> sizesMiB{16, 256};
    std::uint64_t smallBytes = 220500;  // 0: no small files
    int smallRounds = 201;
    int batchFiles = 50;  // the batch join: this many files; 0 for none
    std::uint64_t batchBytes = 88200;
};

// One size of inputs and how it is measured.
struct InputSize {
    std::string label;
    std::uint64_t bytes;
    int rounds;
    std::size_t touchMiB;
    double goalAgainstLoop;
    bool againstSox;
};

const std::array<std::string, 4> kFunctions{"mono", "stereo", "join12", "join21"};
// The loop comes first: round 0 checks every other output against its own.
const std::array<std::string, 6> kTools{"loop", "misaligned", "varnel-cli", "varnel-cli-wav", "sox", "cat"};

constexpr double kGoalAgainstLoop = 1.10;
constexpr double kGoalAgainstLoopSmall = 1.2;
constexpr double kGoalAgainstCat = 1.05;
constexpr double kGoalAgainstSox = 5.0;  // or the limit's own lead, less its margin
constexpr std::uint64_t kSoxGoalFromBytes = std::uint64_t{256} << 20;
constexpr double kGoalBatchAgainstCat = 1.2;

bool IsJoin(const std::string& function) { return function.starts_with("join"); }

// The tools that do `function`: `cat` only joins.
std::vector<std::string> ToolsFor(const std::string& function) {
    std::vector<std::string> tools;
    for (const std::string& tool : kTools) {
        if (tool != "cat" || IsJoin(function)) tools.push_back(tool);
    }
    return tools;
}

// The WAV case reads these copies of the raw inputs and writes a WAV file.
std::string WavPath(const std::string& raw) { return raw + ".wav"; }
std::string OutputPath(const Options& options, const std::string& tool) {
    return options.work + "/out-" + tool + (tool == "varnel-cli-wav" ? ".wav" : ".raw");
}

std::vector<std::string> SoxRaw(int channels) {
    return {"-t", "raw", "-e", "signed", "-b", "16", "-L", "-r", "22050", "-c", std::to_string(channels)};
}

// The command line of `tool` for `function`. SoX gets -v 1 before each mixed
// input, so that it neither halves the sum nor dithers.
std::vector<std::string> Command(const Options& options, const std::string& tool, const std::string& function,
                                 const std::string& in1, const std::string& in2, const std::string& out) {
    if (tool == "loop") return {options.loop, function, in1, in2, out};
    if (tool == "misaligned") return {options.loop, "--misaligned", function, in1, in2, out};
    if (tool == "varnel-cli") return {options.cli, "-q", function, in1, in2, out};
    if (tool == "varnel-cli-wav") return {options.cli, "-q", function, WavPath(in1), WavPath(in2), out};
    if (tool == "cat" && function == "join12") return {"cat", in1, in2};
    if (tool == "cat") return {"cat", in2, in1};
    std::vector<std::string> command{"sox"};
    auto input = [&](const std::string& path, bool volume) {
        if (volume) command.insert(command.end(), {"-v", "1"});
        const auto raw = SoxRaw(1);
        command.insert(command.end(), raw.begin(), raw.end());
        command.push_back(path);
    };
    if (function == "mono") command.push_back("-m");
    if (function == "stereo") command.push_back("-M");
    const bool first12 = function != "join21";
    input(first12 ? in1 : in2, function == "mono");
    input(first12 ? in2 : in1, function == "mono");
    const auto raw = SoxRaw(function == "stereo" ? 2 : 1);
    command.insert(command.end(), raw.begin(), raw.end());
    command.push_back(out);
    return command;
}

// Runs `command` with its output streams sent to /dev/null, or its standard
// output to `stdoutPath`; returns the wall time in seconds, or a negative
// number when it failed.
double TimedRun(const std::vector<std::string>& command, const std::string& stdoutPath = "/dev/null") {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : -1;
}

// Huge pages: the page cache holds a large write's output in large folios,
// taken from the same high-order free blocks that the host takes back, and
// touching plain 4 KiB pages does not bring those back (measured here: a
// stereo run at 256 MiB took 1.0 to 1.7 s after touching 1 GiB of small
// pages, 0.15 to 0.25 s after touching 1 GiB of huge pages).
void TouchMemory(std::size_t bytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    madvise(memory, bytes, MADV_HUGEPAGE);
    for (std::size_t i = 0; i < bytes; i += 4096) static_cast<volatile char*>(memory)[i] = static_cast<char>(i);
    munmap(memory, bytes);
}

std::uint64_t FileSize(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

// Loud noise, so that mono clips often: samples spread over the whole range.
void MakeInput(const std::string& path, std::size_t bytes, std::uint32_t seed) {
    if (FileSize(path) == bytes) return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> buffer(kMiB);
    for (std::size_t done = 0; done < bytes; done += buffer.size()) {
        for (char& byte : buffer) {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            byte = static_cast<char>(seed);
        }
        out.write(buffer.data(), static_cast<std::streamsize>(std::min(buffer.size(), bytes - done)));
    }
}

// The raw input behind the canonical header of one channel at 22,050 Hz.
void MakeWavInput(const std::string& raw) {
    const std::uint64_t bytes = FileSize(raw);
    if (FileSize(WavPath(raw)) == bytes + varnel::kWavHeaderBytes) return;
    const auto header = varnel::WavHeaderBytes({22050, 1}, bytes);
    std::ofstream out(WavPath(raw), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    std::ifstream in(raw, std::ios::binary);
    out << in.rdbuf();
}

// Puts the whole file in the page cache the way reading it from disk would.
// How a file was written decides how its cached pages are grouped: the raw
// inputs, written in aligned 1 MiB blocks, sit in large folios, the WAV
// copies, written 44 bytes off, in single pages, and reading those back took
// 46 ms per 256 MiB here against 37 ms. Dropping the cached pages and reading
// the file through gives every input the same read-ahead grouping (29 ms),
// so that the WAV case pays for its own work, not for the bench's writing.
void WarmPageCache(const std::string& path) {
    const int descriptor = open(path.c_str(), O_RDONLY);
    if (descriptor < 0) return;
    fdatasync(descriptor);
    posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED);
    std::vector<char> buffer(kMiB);
    while (read(descriptor, buffer.data(), buffer.size()) > 0) {
    }
    close(descriptor);
}

// Whether `a` past its first `skipA` bytes holds what `b` holds.
bool SameBytes(const std::string& a, const std::string& b, std::uint64_t skipA = 0) {
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    if (!first || !second || FileSize(a) != FileSize(b) + skipA) return false;
    first.seekg(static_cast<std::streamoff>(skipA));
    std::vector<char> x(kMiB), y(kMiB);
    while (true) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount()) return false;
        if (first.gcount() == 0) return true;
        if (std::memcmp(x.data(), y.data(), static_cast<std::size_t>(first.gcount())) != 0) return false;
    }
}

// The processor's name as the system gives it, for the record of a run.
std::string CpuName() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("model name", 0) != 0) continue;
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) return line.substr(line.find_first_not_of(" \t", colon + 1));
    }
    return "unknown CPU";
}

// The kernel and the file system the inputs and outputs are on, which
// decide what a copy between files costs.
std::string SystemName(const std::string& work) {
    utsname names{};
    std::string text = uname(&names) == 0 ? std::string(names.sysname) + " " + names.release : "unknown kernel";
    struct statfs fileSystem {};
    if (statfs(work.c_str(), &fileSystem) != 0) return text;
    const std::map<long, std::string> known{{0xEF53, "ext4"},          {0x58465342, "xfs"}, {0x9123683E, "btrfs"},
                                            {0x01021994, "tmpfs"},     {0x2FC12FC1, "zfs"}, {0x6969, "nfs"},
                                            {0x794C7630, "overlayfs"}, {0xF2F52010, "f2fs"}};
    const auto name = known.find(static_cast<long>(fileSystem.f_type));
    char magic[32];
    std::snprintf(magic, sizeof magic, "0x%lX", static_cast<unsigned long>(fileSystem.f_type));
    return text + ", " + work + " on " + (name != known.end() ? name->second : magic);
}

// Which of `count` tools runs `turn`th in `round`. The order turns from
// round to round and runs backwards in every other one, so that no tool
// always follows the same one, and the loop comes first in round 0.
std::size_t RunOrder(std::size_t turn, int round, std::size_t count) {
    const std::size_t place = round % 2 ? count - 1 - turn : turn;
    return (place + static_cast<std::size_t>(round)) % count;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool ParseOptions(int argc, char* argv[], Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--cli")
            options.cli = value;
        else if (name == "--loop")
            options.loop = value;
        else if (name == "--work")
            options.work = value;
        else if (name == "--rounds")
            options.rounds = std::max(1, std::atoi(value.c_str()));
        else if (name == "--small-bytes")
            options.smallBytes = std::strtoull(value.c_str(), nullptr, 10);
        else if (name == "--small-rounds")
            options.smallRounds = std::max(1, std::atoi(value.c_str()));
        else if (name == "--batch-files")
            options.batchFiles = std::max(0, std::atoi(value.c_str()));
        else if (name == "--batch-bytes")
            options.batchBytes = std::strtoull(value.c_str(), nullptr, 10);
        else if (name == "--sizes") {
            options.sizesMiB.clear();
            for (std::size_t start = 0; start < value.size();) {
                const std::size_t comma = std::min(value.find(',', start), value.size());
                options.sizesMiB.push_back(std::strtoull(value.substr(start, comma - start).c_str(), nullptr, 10));
                start = comma + 1;
            }
        } else
            return false;
    }
    return !options.cli.empty() && !options.loop.empty() && !options.work.empty() && argc % 2 == 1;
}

// One join of many short files, as a batch of prompts is joined: varnel-cli
// named every input, varnel-cli given them in a list, cat and SoX. Returns
// the goal it missed, or "".
std::string BatchJoin(const Options& options, bool& allRan, bool& allIdentical) {
    std::vector<std::string> inputs;
    std::string list;
    for (int i = 0; i < options.batchFiles; ++i) {
        inputs.push_back(options.work + "/batch-" + std::to_string(i) + ".raw");
        MakeInput(inputs.back(), options.batchBytes, 0x2468ace0u + static_cast<std::uint32_t>(i));
        WarmPageCache(inputs.back());
        list += inputs.back() + "\n";
    }
    const std::string listPath = options.work + "/batch-list.txt";
    if (FILE* file = std::fopen(listPath.c_str(), "w")) {
        std::fputs(list.c_str(), file);
        std::fclose(file);
    }
    const std::string catOut = options.work + "/batch-cat.raw";
    std::map<std::string, std::vector<std::string>> commands;
    commands["cat"] = {"cat"};
    commands["varnel-cli"] = {options.cli, "-q", "join"};
    commands["sox"] = {"sox"};
    for (const std::string& input : inputs) {
        commands["cat"].push_back(input);
        commands["varnel-cli"].push_back(input);
        const auto raw = SoxRaw(1);
        commands["sox"].insert(commands["sox"].end(), raw.begin(), raw.end());
        commands["sox"].push_back(input);
    }
    commands["varnel-cli"].push_back(options.work + "/batch-varnel-cli.raw");
    commands["varnel-cli list"] = {options.cli, "-q",   "--inputs-from",
                                   listPath,    "join", options.work + "/batch-varnel-cli list.raw"};
    const auto raw = SoxRaw(1);
    commands["sox"].insert(commands["sox"].end(), raw.begin(), raw.end());
    commands["sox"].push_back(options.work + "/batch-sox.raw");
    const std::array<std::string, 4> tools{"cat", "varnel-cli", "varnel-cli list", "sox"};

    std::map<std::string, std::vector<double>> times;
    const int rounds = options.smallRounds / 4 + 1;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t turn = 0; turn < tools.size(); ++turn) {
            const std::string& tool = tools[RunOrder(turn, round, tools.size())];
            const std::string out = tool == "cat" ? catOut : options.work + "/batch-" + tool + ".raw";
            const double seconds = tool == "cat" ? TimedRun(commands[tool], out) : TimedRun(commands[tool]);
            if (seconds < 0) {
                std::fprintf(stderr, "bench: the batch join of %s failed\n", tool.c_str());
                allRan = false;
            }
            times[tool].push_back(seconds);
        }
        for (const std::string& tool : tools) {
            if (tool == "cat") continue;
            const std::string out = options.work + "/batch-" + tool + ".raw";
            allIdentical = allIdentical && SameBytes(out, catOut);
            std::remove(out.c_str());
        }
    }
    const double cat = Median(times["cat"]);
    std::printf("join of %d files of %llu bytes (%d rounds): cat %.2f ms", options.batchFiles,
                static_cast<unsigned long long>(options.batchBytes), rounds, cat * 1e3);
    for (const std::string& tool : tools) {
        if (tool != "cat")
            std::printf(", %s %.2f ms %.2fx", tool.c_str(), Median(times[tool]) * 1e3, Median(times[tool]) / cat);
    }
    std::printf("\n");
    std::remove(catOut.c_str());
    for (const std::string& input : inputs) std::remove(input.c_str());
    std::remove(listPath.c_str());
    char text[160] = "";
    const double cli = std::max(Median(times["varnel-cli"]), Median(times["varnel-cli list"]));
    if (cli > kGoalBatchAgainstCat * cat)
        std::snprintf(text, sizeof text, "the join of %d files: varnel-cli %.2fx cat (goal %.1fx)", options.batchFiles,
                      cli / cat, kGoalBatchAgainstCat);
    return text;
}

}  // namespace

// Milliseconds and the ratio to `reference`, for a cell of the table.
std::string Cell(double seconds, double reference) {
    char text[48];
    std::snprintf(text, sizeof text, "%9.2f ms %5.2fx", seconds * 1e3, seconds / reference);
    return text;
}

int main(int argc, char* argv[]) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --cli PATH --loop PATH --work FOLDER [--rounds N] [--sizes 16,256]"
                     " [--small-bytes 220500] [--small-rounds 201]"
                     " [--batch-files 50] [--batch-bytes 88200]\n",
                     argv[0]);
        return 2;
    }
    mkdir(options.work.c_str(), 0755);
    std::vector<InputSize> sizes;
    if (options.smallBytes > 0) {
        sizes.push_back({std::to_string(options.smallBytes / 1000) + " KB", options.smallBytes, options.smallRounds, 0,
                         kGoalAgainstLoopSmall, false});
    }
    for (const std::size_t mib : options.sizesMiB) {
        if (mib == 0) continue;
        // More than a run's output, which lands in the page cache: twice an
        // input for stereo and the joins.
        const std::size_t touchMiB = std::max<std::size_t>(256, 4 * mib);
        sizes.push_back({std::to_string(mib) + " MiB", mib * kMiB, mib < 64 ? 3 * options.rounds : options.rounds,
                         touchMiB, kGoalAgainstLoop, mib * kMiB >= kSoxGoalFromBytes});
    }

    bool allIdentical = true, allRan = true;
    std::vector<std::string> missed;  // the goals not met
    std::printf("CPU: %s, %ld online; %s\n", CpuName().c_str(), sysconf(_SC_NPROCESSORS_ONLN),
                SystemName(options.work).c_str());
    std::printf("%-7s %7s | %12s | %19s | %19s | %19s | %19s | %19s %8s | %s\n", "func", "input", "loop -O3",
                "misaligned", "varnel-cli", "cli WAV", "SoX", "cat", "cli/cat",
                "cli output = SoX's, = loop's, = cat's; WAV's = loop's");
    for (const InputSize& size : sizes) {
        const std::string stem = options.work + "/in" + std::to_string(size.bytes);
        const std::string in1 = stem + "-1.raw", in2 = stem + "-2.raw";
        std::fprintf(stderr, "bench: %s per input, %d rounds...\n", size.label.c_str(), size.rounds);
        MakeInput(in1, size.bytes, 0x12345678u);
        MakeInput(in2, size.bytes, 0x9abcdef1u);
        MakeWavInput(in1);
        MakeWavInput(in2);
        for (const std::string& input : {in1, in2, WavPath(in1), WavPath(in2)}) WarmPageCache(input);

        std::map<std::string, std::map<std::string, std::vector<double>>> times;  // function, tool
        std::map<std::string, std::map<std::string, bool>> sameAsLoop;            // function, tool: round 0's outputs
        for (int round = 0; round < 2 * size.rounds; ++round) {
            const bool soxPhase = round >= size.rounds;
            for (const std::string& function : kFunctions) {
                const std::string loopOut = OutputPath(options, "loop");
                std::vector<std::string> tools = ToolsFor(function);
                std::erase_if(tools, [&](const std::string& tool) { return (tool == "sox") != soxPhase; });
                if (soxPhase && round == size.rounds) {
                    // Round 0 of SoX compares its output with the loop's.
                    TimedRun(Command(options, "loop", function, in1, in2, loopOut));
                }
                for (std::size_t turn = 0; turn < tools.size(); ++turn) {
                    const std::string& tool = tools[RunOrder(turn, round, tools.size())];
                    const std::string out = OutputPath(options, tool);
                    std::remove(out.c_str());
                    if (size.touchMiB > 0) TouchMemory(size.touchMiB * kMiB);
                    const auto command = Command(options, tool, function, in1, in2, out);
                    const double seconds = tool == "cat" ? TimedRun(command, out) : TimedRun(command);
                    if (seconds < 0) {
                        std::fprintf(stderr, "bench: %s %s failed\n", tool.c_str(), function.c_str());
                        allRan = false;
                    }
                    times[function][tool].push_back(seconds);
                    if ((round == 0 || (soxPhase && round == size.rounds)) && tool != "loop") {
                        const std::uint64_t header = tool == "varnel-cli-wav" ? varnel::kWavHeaderBytes : 0;
                        sameAsLoop[function][tool] = SameBytes(out, loopOut, header);
                    }
                    if (tool != "loop") std::remove(out.c_str());
                }
                std::remove(loopOut.c_str());
            }
        }
        for (const std::string& function : kFunctions) {
            std::map<std::string, double> median;
            for (const std::string& tool : ToolsFor(function)) median[tool] = Median(times[function][tool]);
            const double loop = median["loop"], cli = median["varnel-cli"], wav = median["varnel-cli-wav"];
            const bool join = IsJoin(function);
            // varnel-cli's output is SoX's and cat's when all are the loop's.
            auto& same = sameAsLoop[function];
            const bool asLoop = same["varnel-cli"], asSox = asLoop && same["sox"], asCat = asLoop && same["cat"];
            const std::string identical = std::string(asSox ? "yes" : "NO") + ", " + (asLoop ? "yes" : "NO") + ", " +
                                          (join ? (asCat ? "yes" : "NO") : "-") + "; " +
                                          (same["varnel-cli-wav"] ? "yes" : "NO");
            allIdentical = allIdentical && asSox && asLoop && (!join || asCat) && same["varnel-cli-wav"];
            char catRatio[16] = "       -";
            if (join) std::snprintf(catRatio, sizeof catRatio, "%7.2fx", cli / median["cat"]);
            std::printf("%-7s %7s | %9.2f ms | %s | %s | %s | %s | %19s %s | %s\n", function.c_str(),
                        size.label.c_str(), loop * 1e3, Cell(median["misaligned"], loop).c_str(),
                        Cell(cli, loop).c_str(), Cell(wav, loop).c_str(), Cell(median["sox"], loop).c_str(),
                        join ? Cell(median["cat"], loop).c_str() : "-", catRatio, identical.c_str());

            const std::string cell = function + " at " + size.label + ": ";
            char text[160];
            for (const auto& [tool, seconds] : {std::pair{"varnel-cli", cli}, std::pair{"varnel-cli WAV", wav}}) {
                if (seconds <= size.goalAgainstLoop * loop) continue;
                std::snprintf(text, sizeof text, "%s %.2fx the loop (goal %.2fx)", tool, seconds / loop,
                              size.goalAgainstLoop);
                missed.push_back(cell + text);
            }
            if (join && cli > kGoalAgainstCat * median["cat"]) {
                std::snprintf(text, sizeof text, "varnel-cli %.2fx cat (goal %.2fx)", cli / median["cat"],
                              kGoalAgainstCat);
                missed.push_back(cell + text);
            }
            if (size.againstSox) {
                const double limit = join ? median["cat"] : loop;
                const double margin = join ? kGoalAgainstCat : size.goalAgainstLoop;
                const double goal = std::min(kGoalAgainstSox, median["sox"] / limit / margin);
                if (median["sox"] < goal * cli) {
                    std::snprintf(text, sizeof text, "SoX only %.1fx varnel-cli's time (goal %.1fx; the %s %.1fx)",
                                  median["sox"] / cli, goal, join ? "cat" : "loop", median["sox"] / limit);
                    missed.push_back(cell + text);
                }
            }
        }
        std::fflush(stdout);
    }
    if (options.batchFiles > 0) {
        if (const std::string goal = BatchJoin(options, allRan, allIdentical); !goal.empty()) missed.push_back(goal);
    }
    std::printf(
        "Medians of interleaved rounds (%d for inputs from 64 MiB on, %d for smaller ones, %d for the small\n"
        "files); ratio = time / the aligned minimal loop's time; cli/cat = varnel-cli's time / cat's.\n",
        options.rounds, 3 * options.rounds, options.smallRounds);
    std::printf(
        "Goals: varnel-cli, raw and WAV, within %.2fx of the loop for inputs of some MiB and %.2fx for the\n"
        "small files; joins within %.2fx of cat, a batch join within %.1fx; %.0fx ahead of SoX from 256 MiB on,\n"
        "or as far ahead as the limit (the loop; cat for joins) is, less that margin, where that is less: %s\n",
        kGoalAgainstLoop, kGoalAgainstLoopSmall, kGoalAgainstCat, kGoalBatchAgainstCat, kGoalAgainstSox,
        missed.empty() ? "met" : "NOT met");
    for (const std::string& line : missed) std::printf("  not met: %s\n", line.c_str());
    if (!allRan || !allIdentical) {
        std::fprintf(stderr, "bench: %s\n", allRan ? "outputs differ" : "a run failed");
        return 1;
    }
    return 0;
}
