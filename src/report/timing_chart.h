#pragma once
// The report's timing chart: every hold time and every release-to-press interval of a test,
// counted in bins of equal width on a logarithmic axis from 0.1 ms to 10 s, and drawn as an
// inline SVG histogram with the chatter threshold as a vertical line. Only the bins reach the
// page, so a long test costs no more page than a short one.
#include "report/report_model.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Ten bins a decade keep the steps near the threshold (6.3, 7.9, 10 ms) apart without
// thinning the bars out on a page-wide chart.
constexpr int kTimingBinsPerDecade = 10;
constexpr int kTimingDecades = 5;
constexpr int kTimingBinCount = kTimingBinsPerDecade * kTimingDecades;
constexpr std::int64_t kTimingAxisStart = 100;      // µs: 0.1 ms
constexpr std::int64_t kTimingAxisEnd = 10'000'000; // µs: 10 s

struct TimingSeries {
    std::array<std::size_t, kTimingBinCount> bins{};
    std::size_t total = 0;
    std::size_t below = 0; // under 0.1 ms, counted in the first bin
    std::size_t above = 0; // 10 s or longer, counted in the last bin
};

struct TimingBins {
    TimingSeries gaps;
    TimingSeries holds;
};

// Lower edge of a bin in µs (edge kTimingBinCount is the axis end); decade edges are exact.
std::int64_t TimingBinEdge(int edge);
// The bin a time falls in: [edge(i), edge(i + 1)); times off the axis go to the end bins.
int TimingBinOf(std::int64_t microseconds);
TimingBins BinTimingSamples(const TimingSamples& samples);
// Where a time sits along the axis: 0 at 0.1 ms, 1 at 10 s, clamped to that range.
double TimingAxisFraction(double microseconds);

// Horizontal geometry of the chart in SVG pixels, for the threshold line and the bars.
constexpr double kTimingPlotLeft = 64;
constexpr double kTimingPlotWidth = 760;
inline double TimingChartX(double microseconds) {
    return kTimingPlotLeft + kTimingPlotWidth * TimingAxisFraction(microseconds);
}

// The chart as HTML: one <svg> element, or a short sentence when there is no time to show.
std::string TimingChartHtml(const TimingSamples& samples, std::uint32_t thresholdMs);
