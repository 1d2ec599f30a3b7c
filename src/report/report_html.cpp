// The HTML form of the test report: one file that any browser shows as it is, with the
// verdict, the keyboard drawn in its state colours, the per-key table, the chatter events, the
// timing chart and the context of the test. Every text from a user file is escaped.
#include "report/html_text.h"
#include "report/keyboard_svg.h"
#include "report/report_model.h"
#include "report/timing_chart.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

void AppendNumber(std::string& out, long long value) {
    out += std::to_string(value);
}

constexpr const char* kStyle =
    R"(body{font-family:"Segoe UI",Arial,sans-serif;margin:24px;color:#222;background:#fff}
h1{font-size:22px;margin:0 0 8px}
h2{font-size:17px;margin:24px 0 8px}
.verdict{font-size:20px;font-weight:bold;padding:8px 12px;display:inline-block;border-radius:4px}
.pass{background:#dff3df;color:#155d15}
.fail{background:#fbe0e0;color:#8a1010}
.figures{margin:8px 0 16px}
.keyboard{background:#333;padding:12px;display:inline-block;border-radius:4px}
.legend span{display:inline-block;margin-right:16px}
.legend i{display:inline-block;width:14px;height:14px;margin-right:4px;vertical-align:middle;border:1px solid #555}
table{border-collapse:collapse;font-size:13px}
th,td{border:1px solid #bbb;padding:3px 8px;text-align:left}
th{background:#eee}
td.n{text-align:right}
tr.faulty td{background:#fbe0e0}
tr.untested td{color:#777}
)";

// skipped: some key is left out by a test plan, so its colour needs explaining too.
void AppendLegend(std::string& out, const StateColours& colours, bool skipped) {
    const struct {
        Colour colour;
        const char* text;
    } entries[] = {{colours.unpressed, "untested"},
                   {colours.depressed, "held"},
                   {colours.pressed, "good"},
                   {colours.alarm, "faulty"},
                   {colours.skipped, "skipped"}};
    out += "<p class=\"legend\">";
    for (const auto& entry : entries) {
        if (&entry == &entries[4] && !skipped) {
            continue;
        }
        out += "<span><i style=\"background:" + CssColour(entry.colour) + "\"></i>";
        out += entry.text;
        out += "</span>";
    }
    out += "</p>\n";
}

// Names of the layout keys in the states wanted, at most limit of them (0: no list).
void AppendKeyList(std::string& out, const TestReport& report, const char* heading,
                   bool (*wanted)(std::int32_t), std::size_t limit) {
    std::vector<const ReportRow*> rows;
    for (const ReportRow& row : report.keys) {
        if (wanted(row.state)) {
            rows.push_back(&row);
        }
    }
    if (rows.empty() || rows.size() > limit) {
        return;
    }
    out += "<p><strong>";
    out += heading;
    out += ":</strong> ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        AppendText(out, KeyDisplayName(*rows[i]));
    }
    out += "</p>\n";
}

void AppendKeyboard(std::string& out, const TestReport& report) {
    std::vector<SvgKey> keys;
    keys.reserve(report.keys.size());
    for (const ReportRow& row : report.keys) {
        keys.push_back(SvgKey{row.key, row.label,
                              KeyDisplayName(row) + L" (" + KeyStateName(row.state) + L")",
                              FillColourForState(report.context.colours, row.state)});
    }
    AppendKeyboardSvg(out, report.width, report.height, keys);
}

void AppendRowCells(std::string& out, const ReportRow& row) {
    const char* kind = !row.onLayout                                       ? "extra"
                       : row.state == Alarm || row.state == AlarmDepressed ? "faulty"
                       : row.state == Unpressed || row.state == Skipped    ? "untested"
                                                                           : "tested";
    out += "<tr class=\"";
    out += kind;
    out += "\">";
    const std::vector<std::wstring> cells = ReportCells(row);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += i >= 5 ? "<td class=\"n\">" : "<td>";
        AppendText(out, cells[i]);
        out += "</td>";
    }
    out += "</tr>\n";
}

void AppendKeyTable(std::string& out, const TestReport& report) {
    out += "<h2>Keys</h2>\n<table>\n<tr>";
    for (const char* column : kReportColumns) {
        out += "<th>";
        out += column;
        out += "</th>";
    }
    out += "</tr>\n";
    for (const ReportRow& row : report.keys) {
        AppendRowCells(out, row);
    }
    for (const ReportRow& row : report.extras) {
        AppendRowCells(out, row);
    }
    out += "</table>\n";
}

void AppendChatterEvents(std::string& out, const TestReport& report) {
    out += "<h2>Chatter events</h2>\n";
    if (report.chatterEvents.empty()) {
        out += "<p>None.</p>\n";
        return;
    }
    out += "<table>\n<tr><th>Time</th><th>Key</th><th>Scan code</th><th>Interval (ms)</th></tr>\n";
    for (const ReportChatter& event : report.chatterEvents) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(event.code));
        out += "<tr><td>" + FormatTimeOfDay(event.timeOfDay) + "</td><td>";
        AppendText(out, event.name);
        out += "</td><td>";
        out += code;
        out += "</td><td class=\"n\">";
        AppendText(out, FormatMilliseconds(event.interval));
        out += "</td></tr>\n";
    }
    out += "</table>\n";
}

void AppendTiming(std::string& out, const TestReport& report) {
    out += "<h2>Timing</h2>\n";
    // Without times the chart is a sentence that says so, and needs no introduction.
    if (!report.timing.holds.empty() || !report.timing.gaps.empty()) {
        out += "<p>Hold times and release\xE2\x86\x92press intervals of every key";
        if (!report.context.clockText.empty()) {
            out += "; clock: ";
            AppendText(out, report.context.clockText);
        }
        out += ".</p>\n";
    }
    out += TimingChartHtml(report.timing, report.context.threshold);
}

void AppendContextRow(std::string& out, const char* heading, std::wstring_view value) {
    out += "<tr><th>";
    out += heading;
    out += "</th><td>";
    AppendText(out, value);
    out += "</td></tr>\n";
}

void AppendContext(std::string& out, const TestReport& report) {
    const ReportContext& context = report.context;
    out += "<h2>Test context</h2>\n<table>\n";
    AppendContextRow(out, "Layout", context.layoutName);
    if (report.hasPlan) {
        AppendContextRow(out, "Test plan", report.plan.name);
    }
    AppendContextRow(out, "Chatter threshold", std::to_wstring(context.threshold) + L" ms");
    AppendContextRow(out, "Interface", context.interfaceText);
    AppendContextRow(out, "Device", context.deviceText);
    AppendContextRow(out, "Input language", context.inputLanguage);
    AppendContextRow(out, "Date and time", context.dateTime);
    AppendContextRow(out, "Program version", context.programVersion);
    if (!context.clockText.empty()) {
        AppendContextRow(out, "Clock", context.clockText);
    }
    out += "</table>\n";
}

} // namespace

std::string WriteReportHtml(const TestReport& report) {
    std::string out;
    out.reserve(16384 + 400 * report.keys.size() + 120 * report.chatterEvents.size());
    const TestCoverage& coverage = report.coverage;
    const std::wstring verdict = ReportVerdictLine(report);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>Keyboard test report: ";
    AppendText(out, report.context.layoutName);
    out += "</title>\n<style>\n";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<h1>Keyboard test report: ";
    AppendText(out, report.context.layoutName);
    out += "</h1>\n<p class=\"verdict ";
    out += verdict.rfind(L"PASS", 0) == 0 ? "pass" : "fail";
    out += "\">";
    AppendText(out, verdict);
    out += "</p>\n<p class=\"figures\">Tested ";
    AppendNumber(out, static_cast<long long>(coverage.tested));
    out += " / ";
    AppendNumber(out, static_cast<long long>(coverage.keys));
    out += " &middot; Faulty ";
    AppendNumber(out, static_cast<long long>(coverage.faulty));
    out += " &middot; Chatter events ";
    AppendNumber(out, static_cast<long long>(report.chatter));
    out += " &middot; Rollover: ";
    AppendNumber(out, static_cast<long long>(report.rollover));
    out += report.rollover == 1 ? " key" : " keys";
    if (!report.rolloverKeys.empty()) {
        out += " (";
        for (std::size_t i = 0; i < report.rolloverKeys.size(); ++i) {
            if (i > 0) {
                out += ", ";
            }
            AppendText(out, report.rolloverKeys[i]);
        }
        out += ')';
    }
    if (report.overflowAt > 0) {
        out += "; overflow at ";
        AppendNumber(out, static_cast<long long>(report.overflowAt));
    }
    out += " &middot; Codes not on the layout ";
    AppendNumber(out, static_cast<long long>(report.extras.size()));
    out += "</p>\n";
    AppendKeyList(
        out, report, "Faulty",
        [](std::int32_t state) { return state == Alarm || state == AlarmDepressed; }, SIZE_MAX);
    // A long list of untested keys says less than the picture does.
    AppendKeyList(
        out, report, "Untested", [](std::int32_t state) { return state == Unpressed; }, 24);
    AppendKeyboard(out, report);
    AppendLegend(out, report.context.colours,
                 std::any_of(report.keys.begin(), report.keys.end(),
                             [](const ReportRow& row) { return row.state == Skipped; }));
    AppendKeyTable(out, report);
    AppendChatterEvents(out, report);
    AppendTiming(out, report);
    AppendContext(out, report);
    out += "</body>\n</html>\n";
    return out;
}
