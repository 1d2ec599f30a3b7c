#include "report/timing_chart.h"

#include "report/html_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

constexpr int kWidth = 840;
constexpr int kHeight = 344;
constexpr double kPlotTop = 52;
constexpr double kPlotBottom = 264;
constexpr double kPlotHeight = kPlotBottom - kPlotTop;
constexpr double kBinWidth = kTimingPlotWidth / kTimingBinCount;
// A bin with a single count in a chart of thousands would vanish; a chatter bin must not.
constexpr double kMinimumBarHeight = 3;

// Release-to-press intervals solid and dark, holds light and outlined: the two series stay
// apart in grey print and for readers who do not tell the colours apart.
constexpr const char* kGapStyle = R"(fill="#2f5f9e")";
constexpr const char* kHoldStyle = R"(fill="#fbd9b0" stroke="#a85400" stroke-width="1")";
constexpr const char* kArrow = "\xE2\x86\x92"; // →
constexpr const char* kDash = "\xE2\x80\x93";  // –

const std::array<std::int64_t, kTimingBinCount + 1>& Edges() {
    static const auto edges = [] {
        std::array<std::int64_t, kTimingBinCount + 1> table{};
        for (int i = 0; i <= kTimingBinCount; ++i) {
            table[i] = std::llround(static_cast<double>(kTimingAxisStart) *
                                    std::pow(10.0, static_cast<double>(i) / kTimingBinsPerDecade));
        }
        return table;
    }();
    return edges;
}

void Count(TimingSeries& series, const std::vector<std::int64_t>& samples) {
    series.total = samples.size();
    for (std::int64_t value : samples) {
        ++series.bins[TimingBinOf(value)];
        if (value < kTimingAxisStart) {
            ++series.below;
        } else if (value >= kTimingAxisEnd) {
            ++series.above;
        }
    }
}

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// "0.126 ms", "12.6 ms", "1.26 s": three significant digits.
std::string Duration(std::int64_t microseconds, bool withUnit = true) {
    const bool seconds = microseconds >= 1'000'000;
    char text[32];
    std::snprintf(text, sizeof text, "%.3g",
                  static_cast<double>(microseconds) / (seconds ? 1e6 : 1e3));
    std::string out = text;
    if (withUnit) {
        out += seconds ? " s" : " ms";
    }
    return out;
}

// A bin's span as its tooltip names it: "5.01–6.31 ms", "794 ms–1 s".
std::string BinSpan(int bin) {
    const std::int64_t low = TimingBinEdge(bin);
    const std::int64_t high = TimingBinEdge(bin + 1);
    const bool sameUnit = (low >= 1'000'000) == (high >= 1'000'000);
    return Duration(low, !sameUnit) + kDash + Duration(high);
}

// Tick spacing of 1, 2 or 5 times a power of ten, so that about four ticks reach the top.
std::size_t CountStep(std::size_t largest) {
    for (std::size_t power = 1;; power *= 10) {
        for (std::size_t factor : {1, 2, 5}) {
            if (factor * power * 4 >= largest) {
                return factor * power;
            }
        }
    }
}

void AppendAttribute(std::string& out, const char* name, const std::string& value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
}

void AppendLabel(std::string& out, double x, double y, const char* anchor, const std::string& text,
                 std::string_view extra = {}) {
    out += "<text";
    AppendAttribute(out, "x", Fixed(x));
    AppendAttribute(out, "y", Fixed(y));
    AppendAttribute(out, "text-anchor", anchor);
    out += extra;
    out += '>';
    AppendEscaped(out, text);
    out += "</text>\n";
}

void AppendLine(std::string& out, double x1, double y1, double x2, double y2, const char* style) {
    out += "<line x1=\"" + Fixed(x1) + "\" y1=\"" + Fixed(y1) + "\" x2=\"" + Fixed(x2) +
           "\" y2=\"" + Fixed(y2) + "\" " + style + "/>\n";
}

void AppendCountAxis(std::string& out, std::size_t top, std::size_t step) {
    for (std::size_t count = 0; count <= top; count += step) {
        const double y = kPlotBottom - kPlotHeight * static_cast<double>(count) / top;
        if (count > 0) {
            AppendLine(out, kTimingPlotLeft, y, kTimingPlotLeft + kTimingPlotWidth, y,
                       R"(stroke="#e4e4e4")");
        }
        AppendLabel(out, kTimingPlotLeft - 6, y + 4, "end", std::to_string(count));
    }
    AppendLabel(out, 16, (kPlotTop + kPlotBottom) / 2, "middle", "count",
                " transform=\"rotate(-90 16 " + Fixed((kPlotTop + kPlotBottom) / 2) + ")\"");
}

void AppendTimeAxis(std::string& out) {
    static const char* const kDecades[] = {"0.1 ms", "1 ms", "10 ms", "100 ms", "1 s", "10 s"};
    for (int decade = 0; decade <= kTimingDecades; ++decade) {
        const double x = kTimingPlotLeft + kTimingPlotWidth * decade / kTimingDecades;
        if (decade > 0 && decade < kTimingDecades) {
            AppendLine(out, x, kPlotTop, x, kPlotBottom, R"(stroke="#d0d0d0")");
        }
        AppendLine(out, x, kPlotBottom, x, kPlotBottom + 6, R"(stroke="#444")");
        AppendLabel(out, x, kPlotBottom + 20, "middle", kDecades[decade]);
        if (decade == kTimingDecades) {
            break;
        }
        // Short ticks at 2 to 9 times the decade, as on log paper.
        for (int step = 2; step <= 9; ++step) {
            const double minor = x + kTimingPlotWidth / kTimingDecades * std::log10(step);
            AppendLine(out, minor, kPlotBottom, minor, kPlotBottom + 3, R"(stroke="#888")");
        }
    }
    AppendLine(out, kTimingPlotLeft, kPlotBottom, kTimingPlotLeft + kTimingPlotWidth, kPlotBottom,
               R"(stroke="#444")");
    AppendLabel(out, kTimingPlotLeft + kTimingPlotWidth / 2, kPlotBottom + 40, "middle",
                "time (logarithmic scale)");
}

void AppendLegend(std::string& out, const TimingBins& bins) {
    const double y = 14;
    out += "<rect x=\"" + Fixed(kTimingPlotLeft) + "\" y=\"" + Fixed(y) +
           "\" width=\"14\" height=\"14\" " + kGapStyle + "/>\n";
    AppendLabel(out, kTimingPlotLeft + 20, y + 12, "start",
                std::string("release") + kArrow + "press intervals (" +
                    std::to_string(bins.gaps.total) + ")");
    const double holdX = kTimingPlotLeft + 300;
    out += "<rect x=\"" + Fixed(holdX + 0.5) + "\" y=\"" + Fixed(y + 0.5) +
           "\" width=\"13\" height=\"13\" " + kHoldStyle + "/>\n";
    AppendLabel(out, holdX + 20, y + 12, "start",
                "hold times (" + std::to_string(bins.holds.total) + ")");
}

// showCount writes the count above the bar: chatter bars are few and short, and the count is
// what a reader wants from them.
void AppendBar(std::string& out, const TimingSeries& series, int bin, double x, double top,
               const char* style, const char* name, bool showCount) {
    const std::size_t count = series.bins[bin];
    if (count == 0) {
        return;
    }
    const double height =
        std::max(kMinimumBarHeight, kPlotHeight * static_cast<double>(count) / top);
    std::string title = std::string(name) + ' ' + BinSpan(bin) + ": " + std::to_string(count);
    if (bin == 0 && series.below > 0) {
        title += " (" + std::to_string(series.below) + " under 0.1 ms)";
    }
    if (bin == kTimingBinCount - 1 && series.above > 0) {
        title += " (" + std::to_string(series.above) + " of 10 s or more)";
    }
    out += "<rect x=\"" + Fixed(x) + "\" y=\"" + Fixed(kPlotBottom - height) + "\" width=\"" +
           Fixed(kBinWidth / 2 - 1.5) + "\" height=\"" + Fixed(height) + "\" " + style + "><title>";
    AppendEscaped(out, title);
    out += "</title></rect>\n";
    if (showCount) {
        AppendLabel(out, x + kBinWidth / 4, kPlotBottom - height - 4, "middle",
                    std::to_string(count), R"( font-size="11" fill="#c00000")");
    }
}

// Times left of the threshold are chatter when they are release-to-press intervals; the
// shaded band says so without reading the legend.
void AppendChatterZone(std::string& out, std::uint32_t thresholdMs) {
    const double x = TimingChartX(static_cast<double>(thresholdMs) * 1000);
    if (x <= kTimingPlotLeft) {
        return;
    }
    out += "<rect x=\"" + Fixed(kTimingPlotLeft) + "\" y=\"" + Fixed(kPlotTop) + "\" width=\"" +
           Fixed(x - kTimingPlotLeft) + "\" height=\"" + Fixed(kPlotHeight) +
           "\" fill=\"#fdeaea\"/>\n";
    if (x - kTimingPlotLeft > 70) {
        AppendLabel(out, x - 6, kPlotTop + 16, "end", "chatter",
                    R"( fill="#c00000" font-style="italic")");
    }
}

void AppendThreshold(std::string& out, std::uint32_t thresholdMs) {
    const double x = TimingChartX(static_cast<double>(thresholdMs) * 1000);
    out += "<g><title>";
    AppendEscaped(out, "chatter threshold: a press less than " + std::to_string(thresholdMs) +
                               " ms after its release is chatter");
    out += "</title>\n";
    AppendLine(out, x, kPlotTop - 10, x, kPlotBottom,
               R"(stroke="#c00000" stroke-width="2" stroke-dasharray="6 3")");
    // The label stays inside the chart when the line is near its right end.
    const bool left = x > kTimingPlotLeft + kTimingPlotWidth - 140;
    AppendLabel(out, left ? x - 5 : x + 5, kPlotTop - 2, left ? "end" : "start",
                "threshold " + std::to_string(thresholdMs) + " ms", R"( fill="#c00000")");
    out += "</g>\n";
}

// Times off the axis are counted in the end bins; the chart says how many.
void AppendRangeNote(std::string& out, const TimingBins& bins) {
    const std::size_t below = bins.gaps.below + bins.holds.below;
    const std::size_t above = bins.gaps.above + bins.holds.above;
    std::string note;
    if (below > 0) {
        note = "The first bin also counts " + std::to_string(below) + " time" +
               (below == 1 ? "" : "s") + " under 0.1 ms";
    }
    if (above > 0) {
        note += note.empty() ? "The last bin also counts " : "; the last bin ";
        note += std::to_string(above) + " time" + (above == 1 ? "" : "s") + " of 10 s or more";
    }
    if (!note.empty()) {
        AppendLabel(out, kTimingPlotLeft, kHeight - 6, "start", note + '.',
                    R"( font-style="italic")");
    }
}

} // namespace

std::int64_t TimingBinEdge(int edge) {
    return Edges()[static_cast<std::size_t>(std::clamp(edge, 0, kTimingBinCount))];
}

int TimingBinOf(std::int64_t microseconds) {
    const auto& edges = Edges();
    const auto above = std::upper_bound(edges.begin(), edges.end(), microseconds);
    return std::clamp(static_cast<int>(above - edges.begin()) - 1, 0, kTimingBinCount - 1);
}

TimingBins BinTimingSamples(const TimingSamples& samples) {
    TimingBins bins;
    Count(bins.gaps, samples.gaps);
    Count(bins.holds, samples.holds);
    return bins;
}

double TimingAxisFraction(double microseconds) {
    if (!(microseconds > static_cast<double>(kTimingAxisStart))) {
        return 0;
    }
    const double fraction =
        std::log10(microseconds / static_cast<double>(kTimingAxisStart)) / kTimingDecades;
    return std::min(fraction, 1.0);
}

std::string TimingChartHtml(const TimingSamples& samples, std::uint32_t thresholdMs) {
    const TimingBins bins = BinTimingSamples(samples);
    if (bins.gaps.total == 0 && bins.holds.total == 0) {
        return "<p>No key was pressed and released in this test, so there are no times to "
               "chart.</p>\n";
    }
    std::size_t largest = 1;
    for (int bin = 0; bin < kTimingBinCount; ++bin) {
        largest = std::max({largest, bins.gaps.bins[bin], bins.holds.bins[bin]});
    }
    const std::size_t step = CountStep(largest);
    const std::size_t top = (largest + step - 1) / step * step;

    std::string out;
    out.reserve(24576);
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) +
           "\" height=\"" + std::to_string(kHeight) + "\" viewBox=\"0 0 " + std::to_string(kWidth) +
           ' ' + std::to_string(kHeight) +
           "\" role=\"img\" aria-label=\"timing chart\" font-family=\"Segoe UI,Arial,sans-serif\" "
           "font-size=\"13\" fill=\"#222\">\n";
    AppendLegend(out, bins);
    AppendChatterZone(out, thresholdMs);
    AppendCountAxis(out, top, step);
    AppendTimeAxis(out);
    for (int bin = 0; bin < kTimingBinCount; ++bin) {
        const double x = kTimingPlotLeft + kBinWidth * bin + 1;
        const bool chatter = TimingBinEdge(bin + 1) <= std::int64_t{thresholdMs} * 1000;
        AppendBar(out, bins.gaps, bin, x, static_cast<double>(top), kGapStyle,
                  (std::string("release") + kArrow + "press").c_str(), chatter);
        AppendBar(out, bins.holds, bin, x + kBinWidth / 2 - 0.5, static_cast<double>(top),
                  kHoldStyle, "hold", false);
    }
    AppendThreshold(out, thresholdMs);
    AppendRangeNote(out, bins);
    out += "</svg>\n";
    return out;
}
