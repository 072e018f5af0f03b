// The progress bar on stderr: one line redrawn in place with the percentage,
// the bytes done of the total, the throughput and the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace varnel::cli {

// The bar's text for `done` of `total` bytes after `elapsed`, e.g.
// " 45% [#########           ] 115.2 MiB of 256.0 MiB, 812.3 MiB/s, 0:01 left";
// without a known total (an input is a pipe), the bytes done and the rate:
// "115.2 MiB done, 812.3 MiB/s".
std::string FormatProgressLine(std::uint64_t done, std::optional<std::uint64_t> total,
                               std::chrono::duration<double> elapsed);

// "512 B", "3.0 KiB", "115.2 MiB", "1.5 GiB".
std::string FormatBytes(double bytes);

class ProgressBar {
public:
    using Clock = std::chrono::steady_clock;

    // Shown only when `shown`; unless `immediately`, the first draw waits
    // until the run has lasted `delay`, so that short runs stay silent.
    ProgressBar(std::ostream& err, bool shown, bool immediately,
                Clock::duration delay = std::chrono::milliseconds(500));

    void Update(std::uint64_t done, std::uint64_t total);
    // The run's totals mean nothing (an input's length is not known).
    void TotalUnknown() { m_totalKnown = false; }
    // Takes the bar off the line, so that a message or the summary can follow.
    void Clear();

private:
    void Draw(std::uint64_t done, std::uint64_t total, Clock::time_point now);

    std::ostream& m_err;
    bool m_shown;
    bool m_immediately;
    Clock::duration m_delay;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw{};
    std::size_t m_drawnWidth = 0;  // 0 when nothing is on the line
    bool m_totalKnown = true;
};

}  // namespace varnel::cli
