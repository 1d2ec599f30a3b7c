// Writes the test report of a long, believable test for a look in a browser: the built-in
// layout with every key tested, about 2,000 holds and release-to-press intervals spread as a
// typist's are, a few chatter re-presses under the threshold, pauses of seconds, and a few
// times off either end of the chart's axis.
// usage: report_chart_page OUTPUT.html
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/layout_parser.h"
#include "report/report_model.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: report_chart_page OUTPUT.html\n");
        return 2;
    }
    KeyboardLayout layout;
    KeyNameTable names;
    if (!LoadLayoutText(DefaultLayoutText(), 36, layout, names)) {
        return 1;
    }
    for (LayoutKey& key : layout.keys) {
        key.state = Pressed;
    }
    ReportContext context;
    context.layoutName = layout.name;
    context.threshold = 8;
    context.interfaceText = L"USB";
    context.clockText = L"QPC, 10 MHz, stamped on the input thread";
    TestReport report = BuildTestReport(layout, KeyStatistics{}, names.Entries(), context);

    std::mt19937 random(20261208);
    std::lognormal_distribution<double> hold(std::log(90'000.0), 0.35);
    std::lognormal_distribution<double> gap(std::log(180'000.0), 0.8);
    std::uniform_int_distribution<std::int64_t> chatter(1'500, 7'000);
    for (int i = 0; i < 2'000; ++i) {
        report.timing.holds.push_back(static_cast<std::int64_t>(hold(random)));
        report.timing.gaps.push_back(static_cast<std::int64_t>(gap(random)));
    }
    for (int i = 0; i < 6; ++i) {
        report.timing.gaps.push_back(chatter(random));
    }
    report.timing.gaps.insert(report.timing.gaps.end(), {60, 2'500'000, 4'000'000, 14'000'000});
    std::ofstream(argv[1], std::ios::binary) << WriteReportHtml(report);
    return 0;
}
