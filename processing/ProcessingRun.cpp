#include "processing/ProcessingRun.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "processing/File.h"

namespace varnel {
namespace {

// What a failed output open shows first, tested in this order; the text of
// every cause not listed is left to the closing message.
constexpr std::array<std::pair<FileCause, const char*>, 12> kOutputOpenCauseMessages{{
    {FileCause::generic, "generic"},
    {FileCause::badPath, "badPath "},
    {FileCause::tooManyOpenFiles, "tooManyOpenFiles "},
    {FileCause::invalidFile, "invalidFile"},
    {FileCause::removeCurrentDir, "removeCurrentDir "},
    {FileCause::directoryFull, "directoryFull "},
    {FileCause::diskFull, "diskFull "},
    {FileCause::sharingViolation, "sharingViolation "},
    {FileCause::lockViolation, "lockViolation "},
    {FileCause::accessDenied, "accessDenied "},
    {FileCause::hardIO, "IO Error"},
    {FileCause::badSeek, "Error Set Pointer"},
}};

void ReportOutputOpenFailure(const FileFailure& failure, RunObserver& observer) {
    std::vector<std::string> texts;
    for (const auto& [listed, text] : kOutputOpenCauseMessages) {
        if (failure.cause == listed) {
            texts.emplace_back(text);
            break;
        }
    }
    texts.emplace_back(failure.cause == FileCause::endOfFile ? "endOfFile" : "The Output Sound File was not created");
    observer.ReportFileProblem({RunFile::Output, FileAction::Open, failure}, texts);
}

const char* MessageFor(FunctionOutcome outcome) {
    switch (outcome) {
    case FunctionOutcome::ReadingInput1Failed: return "Reading Sound File 1 Failed";
    case FunctionOutcome::ReadingInput2Failed: return "Reading Sound File 2 Failed";
    case FunctionOutcome::WritingOutputFailed: return "Writing The Output Sound File Failed";
    case FunctionOutcome::StereoBufferRefused: return "Insufficient memory available for buffer 3\n";
    case FunctionOutcome::Completed: break;
    }
    return nullptr;
}

// Opens an input; on failure shows "Sound File N Not Found" or "Opening
// Sound File N Failed". Returns its length, or nothing.
std::optional<std::uint64_t> OpenInput(File& file, const std::string& path, int number, bool shared, FileOpener* opener,
                                       RunObserver& observer) {
    FileFailure failure;
    std::optional<std::uint64_t> length;
    const File::Mode mode = shared ? File::Mode::ReadShared : File::Mode::Read;
    if (opener ? opener->OpenInput(path, file, mode, failure) : file.Open(path, mode, failure)) {
        length = file.Length();
        if (!length) failure = {FileCause::generic, -1};
    }
    if (!length) {
        const std::string name = "Sound File " + std::to_string(number);
        observer.ReportFileProblem(
            {number == 1 ? RunFile::Input1 : RunFile::Input2, FileAction::Open, failure},
            {failure.cause == FileCause::fileNotFound ? name + " Not Found" : "Opening " + name + " Failed"});
    }
    return length;
}

// The failure of a function that did not complete, with the file it concerns.
void ReportFunctionFailure(FunctionOutcome outcome, const File& input1, const File& input2, const File& output,
                           RunObserver& observer) {
    switch (outcome) {
    case FunctionOutcome::ReadingInput1Failed:
        observer.ReportFileProblem({RunFile::Input1, FileAction::Read, input1.LastFailure()}, {MessageFor(outcome)});
        return;
    case FunctionOutcome::ReadingInput2Failed:
        observer.ReportFileProblem({RunFile::Input2, FileAction::Read, input2.LastFailure()}, {MessageFor(outcome)});
        return;
    case FunctionOutcome::WritingOutputFailed:
        observer.ReportFileProblem({RunFile::Output, FileAction::Write, output.LastFailure()}, {MessageFor(outcome)});
        return;
    case FunctionOutcome::StereoBufferRefused: observer.ShowMessage(MessageFor(outcome)); return;
    case FunctionOutcome::Completed: return;
    }
}

std::uint64_t RoundedUpToEven(std::uint64_t length) { return length + (length & 1); }

// Counts what an input delivers, so that a run can tell what it read. The
// samples may sit behind a header (`aroundBytes` of the file are not
// samples): the length the file has afterwards is told in samples' bytes.
class CountingSource final : public ByteSource {
public:
    CountingSource(ByteSource& samples, const File& file, std::uint64_t aroundBytes)
        : m_samples(samples), m_file(file), m_around(aroundBytes) {}
    std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t size) override {
        const auto got = m_samples.Read(buffer, size);
        if (got) {
            m_read.bytes += *got;
            m_read.reachedEnd = m_read.reachedEnd || *got < size;
        }
        return got;
    }
    std::optional<std::size_t> CopyTo(ByteSink& sink, std::size_t size) override {
        const auto moved = m_samples.CopyTo(sink, size);
        if (moved) {
            m_read.bytes += *moved;
            m_read.reachedEnd = m_read.reachedEnd || *moved == 0;
        }
        return moved;
    }
    InputRead Found() const {
        InputRead found = m_read;
        const auto length = m_file.IsDiskFile() ? m_file.Length() : std::nullopt;
        if (length) found.lengthAfter = *length > m_around ? *length - m_around : 0;
        return found;
    }

private:
    ByteSource& m_samples;
    const File& m_file;
    std::uint64_t m_around;
    InputRead m_read;
};

using SampleBuffer = std::unique_ptr<std::uint8_t, void (*)(void*)>;

SampleBuffer TakeBuffer(std::size_t bytes, const ProcessingSettings& settings) {
    return {static_cast<std::uint8_t*>(settings.allocate(bytes)), settings.release};
}

}  // namespace

RunResult RunProcessing(const RunRequest& request, const ProcessingSettings& settings, RunObserver& observer,
                        FileOpener* opener, SoundContainer* container) {
    RunResult result;
    File input1, input2, output;

    const auto length1 = OpenInput(input1, request.soundFile1, 1, settings.shareInputs, opener, observer);
    if (!length1) return result;
    const auto length2 = OpenInput(input2, request.soundFile2, 2, settings.shareInputs, opener, observer);
    if (!length2) return result;
    result.lengths = {*length1, *length2};
    if (container && !container->OpenInputs(input1, input2, result.lengths, observer)) return result;

    FileFailure failure;
    const bool opened = opener ? opener->OpenOutput(request.outputFile, output, failure)
                               : output.Open(request.outputFile, File::Mode::CreateWrite, failure);
    if (!opened) {
        ReportOutputOpenFailure(failure, observer);
        return result;
    }
    result.outputCreated = true;
    ByteSink& sink = container ? container->BeginOutput(output) : output;

    result.bufferSamples = settings.chunks.SamplesFor(RoundedUpToEven(*length1), RoundedUpToEven(*length2));
    const std::size_t bufferBytes = result.bufferSamples * kBytesPerSample;
    const SampleBuffer buffer1 = TakeBuffer(bufferBytes, settings);
    if (!buffer1) {
        observer.ShowMessage("Insufficient memory available for buffer 1\n");
        return result;
    }
    const SampleBuffer buffer2 = TakeBuffer(bufferBytes, settings);
    if (!buffer2) {
        observer.ShowMessage("Insufficient memory available for buffer 2\n");
        return result;
    }

    if (!input1.IsDiskFile() || !input2.IsDiskFile()) observer.TotalUnknown();
    ByteSource& source1 = container ? container->Samples(1) : input1;
    ByteSource& source2 = container ? container->Samples(2) : input2;
    CountingSource counted1(source1, input1, *length1 - std::min(*length1, result.lengths.input1));
    CountingSource counted2(source2, input2, *length2 - std::min(*length2, result.lengths.input2));
    FunctionResult done =
        RunFunction(request.function, {counted1, counted2, sink}, {buffer1.get(), buffer2.get(), result.bufferSamples},
                    result.lengths, settings, observer);
    result.read1 = counted1.Found();
    result.read2 = counted2.Found();
    result.outputBytes = done.outputBytes;
    result.clippedSamples = done.clippedSamples;
    if (done.outcome == FunctionOutcome::Completed && container &&
        !container->EndOutput(output, done.outputBytes, observer)) {
        done.outcome = FunctionOutcome::WritingOutputFailed;
    }

    input1.Close();
    input2.Close();
    const bool outputStored = output.Close();
    if (done.outcome != FunctionOutcome::Completed) {
        ReportFunctionFailure(done.outcome, input1, input2, output, observer);
        return result;
    }
    if (!outputStored) {
        ReportFunctionFailure(FunctionOutcome::WritingOutputFailed, input1, input2, output, observer);
        return result;
    }
    result.succeeded = true;
    return result;
}

}  // namespace varnel
