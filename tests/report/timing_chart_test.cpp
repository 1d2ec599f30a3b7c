#include "report/report_model.h"
#include "report/timing_chart.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Element nesting of an XML fragment: every tag closed in order, every attribute quoted.
// Returns the first fault found, empty when the fragment is well formed.
std::string XmlFault(const std::string& xml) {
    std::vector<std::string> open;
    const std::regex attributes(R"re((\s+[A-Za-z0-9:-]+="[^"<]*")*\s*)re");
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        const std::size_t end = xml.find('>', at);
        if (end == std::string::npos) {
            return "unterminated tag";
        }
        std::string tag = xml.substr(at + 1, end - at - 1);
        if (tag.find('<') != std::string::npos) {
            return "'<' inside a tag";
        }
        if (tag.front() == '/') {
            if (open.empty() || open.back() != tag.substr(1)) {
                return "</" + tag.substr(1) + "> closes " +
                       (open.empty() ? "nothing" : open.back());
            }
            open.pop_back();
            continue;
        }
        const bool empty = tag.back() == '/';
        if (empty) {
            tag.pop_back();
        }
        const std::size_t nameEnd = tag.find_first_of(" \n");
        const std::string name = tag.substr(0, nameEnd);
        if (nameEnd != std::string::npos && !std::regex_match(tag.substr(nameEnd), attributes)) {
            return "bad attributes in <" + tag + ">";
        }
        if (!empty) {
            open.push_back(name);
        }
    }
    for (std::size_t at = xml.find('&'); at != std::string::npos; at = xml.find('&', at + 1)) {
        if (!std::regex_search(xml.begin() + static_cast<std::ptrdiff_t>(at), xml.end(),
                               std::regex("^&(amp|lt|gt|quot|#[0-9]+);"))) {
            return "bare '&'";
        }
    }
    return open.empty() ? "" : "<" + open.back() + "> not closed";
}

// The bars of one series as their tooltips name them, in axis order.
std::vector<std::string> BarTitles(const std::string& svg, const std::string& series) {
    std::vector<std::string> titles;
    const std::regex title("<title>(" + series + " [^<]*)</title></rect>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), title);
         it != std::sregex_iterator(); ++it) {
        titles.push_back((*it)[1]);
    }
    return titles;
}

std::string ThresholdX(const std::string& svg) {
    std::smatch match;
    std::regex_search(svg, match, std::regex(R"re(<line x1="([0-9.]+)"[^>]*stroke-dasharray)re"));
    return match.size() > 1 ? match[1].str() : "";
}

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

TEST(TimingBins, DecadesAreExactEdgesAndTimesOffTheAxisGoToTheEndBins) {
    const std::int64_t decades[] = {100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000};
    for (int decade = 0; decade <= kTimingDecades; ++decade) {
        EXPECT_EQ(TimingBinEdge(decade * kTimingBinsPerDecade), decades[decade]);
        if (decade < kTimingDecades) {
            // A decade's value opens its first bin; one µs less closes the bin before.
            EXPECT_EQ(TimingBinOf(decades[decade]), decade * kTimingBinsPerDecade);
            EXPECT_EQ(TimingBinOf(decades[decade] - 1),
                      std::max(0, decade * kTimingBinsPerDecade - 1));
        }
        EXPECT_DOUBLE_EQ(TimingAxisFraction(static_cast<double>(decades[decade])),
                         decade / static_cast<double>(kTimingDecades));
    }
    for (int bin = 0; bin < kTimingBinCount; ++bin) {
        EXPECT_LT(TimingBinEdge(bin), TimingBinEdge(bin + 1));
        EXPECT_EQ(TimingBinOf(TimingBinEdge(bin)), bin);
    }
    EXPECT_EQ(TimingBinOf(7'900), 18); // the chatter side of 8 ms
    EXPECT_EQ(TimingBinOf(8'000), 19);

    TimingSamples samples;
    samples.gaps = {-5, 0, 99, 100, 3'000, 9'999'999, 10'000'000, 86'400'000'000};
    samples.holds = {50'000, 50'000, 60'000};
    const TimingBins bins = BinTimingSamples(samples);
    EXPECT_EQ(bins.gaps.total, 8u);
    EXPECT_EQ(bins.gaps.below, 3u);
    EXPECT_EQ(bins.gaps.above, 2u);
    EXPECT_EQ(bins.gaps.bins[0], 4u);
    EXPECT_EQ(bins.gaps.bins[kTimingBinCount - 1], 3u);
    EXPECT_EQ(bins.gaps.bins[TimingBinOf(3'000)], 1u);
    EXPECT_EQ(bins.holds.bins[26], 2u); // 39.8 to 50.1 ms... 50 ms
    EXPECT_EQ(bins.holds.bins[27], 1u);
    EXPECT_EQ(bins.holds.below + bins.holds.above, 0u);

    const TimingBins none = BinTimingSamples({});
    EXPECT_EQ(none.gaps.total + none.holds.total, 0u);
}

TEST(TimingChart, BarsCountTheSamplesAndTheThresholdLineSitsAtItsTime) {
    TimingSamples samples;
    samples.gaps = {3'000, 3'100, 7'000, 9'000, 20'000, 20'500, 21'000, 50};
    samples.holds = {1'000, 95'000, 96'000, 12'000'000};
    const std::string svg = TimingChartHtml(samples, 8);
    EXPECT_EQ(XmlFault(svg), "");
    EXPECT_EQ(CountOf(svg, "<svg"), 1u);
    EXPECT_EQ(svg.rfind("<svg", 0), 0u);

    const std::string arrow = "release\xE2\x86\x92press";
    EXPECT_EQ(BarTitles(svg, arrow),
              (std::vector<std::string>{arrow + " 0.1\xE2\x80\x93"
                                                "0.126 ms: 1 (1 under 0.1 ms)",
                                        arrow + " 2.51\xE2\x80\x93"
                                                "3.16 ms: 2",
                                        arrow + " 6.31\xE2\x80\x93"
                                                "7.94 ms: 1",
                                        arrow + " 7.94\xE2\x80\x93"
                                                "10 ms: 1",
                                        arrow + " 20\xE2\x80\x93"
                                                "25.1 ms: 3"}));
    EXPECT_EQ(BarTitles(svg, "hold"), (std::vector<std::string>{"hold 1\xE2\x80\x93"
                                                                "1.26 ms: 1",
                                                                "hold 79.4\xE2\x80\x93"
                                                                "100 ms: 2",
                                                                "hold 7.94\xE2\x80\x93"
                                                                "10 s: 1 (1 of 10 s or more)"}));
    EXPECT_NE(svg.find(arrow + " intervals (8)"), std::string::npos);
    EXPECT_NE(svg.find("hold times (4)"), std::string::npos);
    for (const char* decade : {">0.1 ms<", ">1 ms<", ">10 ms<", ">100 ms<", ">1 s<", ">10 s<"}) {
        EXPECT_NE(svg.find(decade), std::string::npos) << decade;
    }
    EXPECT_NE(svg.find(">threshold 8 ms<"), std::string::npos);
    // Counts are written over the interval bars wholly under the threshold, not over the bar
    // of 7.94 to 10 ms that holds re-presses on both sides of it.
    EXPECT_EQ(CountOf(svg, R"( fill="#c00000">1</text>)"), 2u);
    EXPECT_EQ(CountOf(svg, R"( fill="#c00000">2</text>)"), 1u);
    EXPECT_EQ(CountOf(svg, R"( fill="#c00000">3</text>)"), 0u);
    EXPECT_NE(svg.find("The first bin also counts 1 time under 0.1 ms; the last bin 1 time of "
                       "10 s or more."),
              std::string::npos);

    // 8 ms lies 0.903 decades past 1 ms; 1 ms and 10 s lie on their decade lines.
    EXPECT_EQ(ThresholdX(svg), Fixed(kTimingPlotLeft + kTimingPlotWidth * (1 + 0.90309) / 5));
    EXPECT_EQ(ThresholdX(TimingChartHtml(samples, 1)),
              Fixed(kTimingPlotLeft + kTimingPlotWidth / 5));
    EXPECT_EQ(ThresholdX(TimingChartHtml(samples, 10'000)),
              Fixed(kTimingPlotLeft + kTimingPlotWidth));
    EXPECT_EQ(ThresholdX(TimingChartHtml(samples, 0)), Fixed(kTimingPlotLeft));
}

TEST(TimingChart, ManySamplesKeepThePageSmallAndASingleChatterBarVisible) {
    TimingSamples samples;
    samples.holds.assign(100'000, 80'000);
    samples.gaps.assign(99'999, 40'000);
    samples.gaps.push_back(3'000);
    const std::string svg = TimingChartHtml(samples, 8);
    EXPECT_LT(svg.size(), 20'000u);
    EXPECT_EQ(BarTitles(svg, "hold").size(), 1u);
    std::smatch bar;
    ASSERT_TRUE(std::regex_search(
        svg, bar, std::regex(R"re(height="([0-9.]+)"[^>]*><title>release\S+ 2.51)re")));
    EXPECT_GE(std::stod(bar[1]), 2.0);
    EXPECT_EQ(XmlFault(svg), "");
}

TEST(TimingChart, NoSamplesGiveASentenceAndTheReportEscapesTheClock) {
    EXPECT_EQ(TimingChartHtml({}, 8).find("<svg"), std::string::npos);

    TestReport report;
    report.context.clockText = L"QPC <10 MHz> & \"input\" thread";
    std::string html = WriteReportHtml(report);
    EXPECT_NE(html.find("<h2>Timing</h2>"), std::string::npos);
    EXPECT_NE(html.find("no times to chart"), std::string::npos);
    EXPECT_NE(html.find("<th>Clock</th><td>QPC &lt;10 MHz&gt; &amp; &quot;input&quot; thread</td>"),
              std::string::npos);
    EXPECT_EQ(html.find("<10 MHz>"), std::string::npos);

    report.timing.gaps = {20'000};
    html = WriteReportHtml(report);
    EXPECT_NE(html.find("; clock: QPC &lt;10 MHz&gt; &amp; &quot;input&quot; thread.</p>"),
              std::string::npos);
    EXPECT_EQ(CountOf(html, "aria-label=\"timing chart\""), 1u);
    const std::size_t start = html.find("<svg", html.find("<h2>Timing</h2>"));
    const std::size_t end = html.find("</svg>", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(XmlFault(html.substr(start, end + 6 - start)), "");
    // The CSV has no timing columns.
    TestReport untimed = report;
    untimed.timing = {};
    EXPECT_EQ(WriteReportCsv(report), WriteReportCsv(untimed));
}
