#include "cli/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "safeoutput/Interrupt.h"
#include "processing/RunObserver.h"

namespace varnel::cli {
namespace {

constexpr std::size_t kBarCells = 20;
// Redrawing after every 1 MiB chunk would cost more than the work itself.
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::string FormatDuration(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(0.0, seconds)));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

}  // namespace

std::string FormatBytes(double bytes) {
    static constexpr const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    std::size_t unit = 0;
    while (bytes >= 1024.0 && unit + 1 < std::size(kUnits)) {
        bytes /= 1024.0;
        ++unit;
    }
    char text[32];
    if (unit == 0) {
        std::snprintf(text, sizeof text, "%.0f B", bytes);
    } else {
        std::snprintf(text, sizeof text, "%.1f %s", bytes, kUnits[unit]);
    }
    return text;
}

std::string FormatProgressLine(std::uint64_t done, std::optional<std::uint64_t> knownTotal,
                               std::chrono::duration<double> elapsed) {
    const double seconds = elapsed.count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    if (!knownTotal) return FormatBytes(static_cast<double>(done)) + " done, " + FormatBytes(rate) + "/s";
    const std::uint64_t total = *knownTotal;
    const int percent = ProgressPercent(done, total);
    const auto filled = static_cast<std::size_t>(percent) * kBarCells / 100;

    char head[16];
    std::snprintf(head, sizeof head, "%3d%% [", percent);
    std::string line = head;
    line += std::string(filled, '#') + std::string(kBarCells - filled, ' ') + "] ";
    line += FormatBytes(static_cast<double>(done)) + " of " + FormatBytes(static_cast<double>(total));
    line += ", " + FormatBytes(rate) + "/s";
    if (rate > 0 && done < total) {
        line += ", " + FormatDuration(static_cast<double>(total - done) / rate) + " left";
    }
    return line;
}

ProgressBar::ProgressBar(std::ostream& err, bool shown, bool immediately, Clock::duration delay)
    : m_err(err), m_shown(shown), m_immediately(immediately), m_delay(delay) {}

void ProgressBar::Update(std::uint64_t done, std::uint64_t total) {
    if (!m_shown) return;
    const Clock::time_point now = Clock::now();
    if (!m_immediately && now - m_start < m_delay) return;
    // The last chunk is always drawn, so that a forced bar ends at 100%.
    if (m_drawnWidth > 0 && now - m_lastDraw < kRedrawEvery && (done < total || !m_totalKnown)) return;
    Draw(done, total, now);
}

void ProgressBar::Draw(std::uint64_t done, std::uint64_t total, Clock::time_point now) {
    const std::string line = FormatProgressLine(done, m_totalKnown ? std::optional(total) : std::nullopt,
                                                std::chrono::duration<double>(now - m_start));
    // Blanks over the rest of a longer line drawn before.
    const std::size_t blanks = m_drawnWidth > line.size() ? m_drawnWidth - line.size() : 0;
    m_err << '\r' << line << std::string(blanks, ' ') << std::flush;
    m_drawnWidth = line.size();
    m_lastDraw = now;
    safeoutput::MarkProgressLineOpen(true);
}

void ProgressBar::Clear() {
    if (m_drawnWidth == 0) return;
    m_err << '\r' << std::string(m_drawnWidth, ' ') << '\r' << std::flush;
    m_drawnWidth = 0;
    safeoutput::MarkProgressLineOpen(false);
}

}  // namespace varnel::cli
