#include <windows.h>

#include <io.h>

#include <cerrno>

#include <streambuf>
#include <string>

#include "cli/Console.h"

namespace varnel::cli {
namespace {

HANDLE HandleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// How many of the first `size` bytes end on a character boundary: a
// character whose bytes are not all there yet waits for the next write.
std::size_t WholeCharacters(const char* bytes, std::size_t size) {
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

// UTF-8 in, UTF-16 to the console.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : m_console(console) { setp(m_bytes, m_bytes + sizeof m_bytes); }

protected:
    int_type overflow(int_type c) override {
        if (!Flush()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (pptr() == epptr()) return traits_type::eof();
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Flush() {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t whole = WholeCharacters(pbase(), size);
        bool written = true;
        if (whole > 0) {
            const int units = MultiByteToWideChar(CP_UTF8, 0, pbase(), static_cast<int>(whole), nullptr, 0);
            std::wstring text(static_cast<std::size_t>(units), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, pbase(), static_cast<int>(whole), text.data(), units);
            DWORD done = 0;
            written = WriteConsoleW(m_console, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) != 0;
        }
        // Keep the start of a character cut by the buffer's end.
        const std::size_t kept = size - whole;
        std::char_traits<char>::move(m_bytes, pbase() + whole, kept);
        setp(m_bytes, m_bytes + sizeof m_bytes);
        pbump(static_cast<int>(kept));
        return written;
    }

    HANDLE m_console;
    char m_bytes[4096];
};

}  // namespace

// _isatty is true for any character device (NUL included), so ask the
// console itself: GetConsoleMode fails on files, pipes and devices.
bool IsTerminal(std::FILE* stream) { return IsConsole(HandleOf(stream)); }

// A pipe whose reader has closed it: "The pipe is being closed" when written
// after that, "The pipe has been ended" once the reader's handle is gone.
bool IsBrokenPipe(long osError) { return osError == ERROR_NO_DATA || osError == ERROR_BROKEN_PIPE; }

StreamWrite WriteAndFlush(std::ostream& stream, const std::string& text) {
    // Both cleared first: the end of a pipe read before leaves
    // ERROR_BROKEN_PIPE behind, and a closed stream fails with no system call.
    errno = 0;
    SetLastError(ERROR_SUCCESS);
    if (stream << text << std::flush) return StreamWrite::Written;
    return errno == EPIPE || IsBrokenPipe(static_cast<long>(GetLastError())) ? StreamWrite::NoReader
                                                                             : StreamWrite::Failed;
}

void ShowUtf8OnConsole(std::ostream& stream, std::FILE* file) {
    const HANDLE handle = HandleOf(file);
    if (!IsConsole(handle)) return;
    std::fflush(file);
    // The stream may be used until the very end of the program (a static's
    // destructor may still write): the buffer is never destroyed.
    stream.rdbuf(new ConsoleBuffer(handle));
}

}  // namespace varnel::cli
