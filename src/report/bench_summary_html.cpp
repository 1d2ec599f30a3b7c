// The bench summary as one HTML page: the figures at the top, the most used layout's keyboard
// as a heat map of failures, and the keys that failed most.
#include "report/bench_summary.h"
#include "report/html_text.h"
#include "report/keyboard_svg.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr std::size_t kTableRows = 30;
constexpr Colour kNoFailures = MakeColour(0xE8, 0xE8, 0xE8);
// Light to dark: few failures to many.
constexpr Colour kHeat[] = {MakeColour(0xFF, 0xE0, 0x8A), MakeColour(0xFF, 0xB3, 0x47),
                            MakeColour(0xFF, 0x7F, 0x3F), MakeColour(0xE0, 0x3C, 0x28),
                            MakeColour(0xA5, 0x0F, 0x1E)};
constexpr std::size_t kSteps = std::size(kHeat);

constexpr const char* kStyle =
    R"(body{font-family:"Segoe UI",Arial,sans-serif;margin:24px;color:#222;background:#fff}
h1{font-size:24px;margin:0 0 4px}
h2{font-size:17px;margin:28px 0 8px}
.period{color:#555;margin:0 0 16px}
.tiles{display:flex;gap:12px;flex-wrap:wrap}
.tile{border-radius:6px;padding:10px 18px;min-width:120px;background:#eef0f3}
.tile b{display:block;font-size:34px;line-height:1.15}
.tile.pass{background:#dff3df;color:#155d15}
.tile.fail{background:#fbe0e0;color:#8a1010}
.bar{height:12px;width:540px;max-width:100%;background:#c62828;border-radius:6px;overflow:hidden;margin:14px 0 0}
.bar span{display:block;height:100%;background:#2e7d32}
.bar.none{background:#ccc}
.keyboard{background:#333;padding:12px;display:inline-block;border-radius:4px}
.missing{background:#fff4d6;border:1px solid #e0c060;padding:8px 12px;display:inline-block;border-radius:4px}
.legend span{display:inline-block;margin-right:16px}
.legend i{display:inline-block;width:14px;height:14px;margin-right:4px;vertical-align:middle;border:1px solid #555}
table{border-collapse:collapse;font-size:13px}
th,td{border:1px solid #bbb;padding:3px 8px;text-align:left}
th{background:#eee}
td.n{text-align:right}
.files{color:#555;font-size:13px}
)";

void AppendNumber(std::string& out, std::size_t value) {
    out += std::to_string(value);
}

std::string Units(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " unit" : " units");
}

std::wstring DateTimeText(const LocalTimeFields& t) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute);
    return text;
}

// The failure counts of max or fewer fall into at most kSteps steps of equal width; the most
// failures always get the darkest colour.
class HeatScale {
public:
    explicit HeatScale(std::size_t max) : max_(max), steps_(std::min(max, kSteps)) {}

    std::size_t Steps() const { return steps_; }
    std::size_t StepOf(std::size_t count) const { return (count * steps_ + max_ - 1) / max_ - 1; }
    Colour ColourOfStep(std::size_t step) const {
        return steps_ == 1 ? kHeat[kSteps - 1]
                           : kHeat[(step * (kSteps - 1) * 2 + steps_ - 1) / ((steps_ - 1) * 2)];
    }
    Colour ColourOf(std::size_t count) const {
        return count == 0 ? kNoFailures : ColourOfStep(StepOf(count));
    }
    std::size_t Low(std::size_t step) const { return step * max_ / steps_ + 1; }
    std::size_t High(std::size_t step) const { return (step + 1) * max_ / steps_; }

private:
    std::size_t max_;
    std::size_t steps_;
};

void AppendTile(std::string& out, const char* kind, const std::string& figure, const char* text) {
    out += "<div class=\"tile";
    out += kind;
    out += "\"><b>" + figure + "</b>";
    out += text;
    out += "</div>\n";
}

void AppendFigures(std::string& out, const BenchSummary& summary) {
    out += "<div class=\"tiles\">\n";
    AppendTile(out, "", std::to_string(summary.tested), "units tested");
    AppendTile(out, summary.passed > 0 ? " pass" : "", std::to_string(summary.passed), "passed");
    AppendTile(out, summary.failed > 0 ? " fail" : "", std::to_string(summary.failed), "failed");
    AppendTile(out, "", PassRateText(summary), "pass rate");
    out += "</div>\n";
    if (summary.tested == 0) {
        out += "<div class=\"bar none\"></div>\n";
        return;
    }
    out += "<div class=\"bar\" title=\"passed and failed\"><span style=\"width:";
    out += PassRateText(summary);
    out += "\"></span></div>\n";
}

void AppendHeatLegend(std::string& out, const HeatScale& scale) {
    out += "<p class=\"legend\"><strong>Units on which the key failed:</strong> "
           "<span><i style=\"background:" +
           CssColour(kNoFailures) + "\"></i>none</span>";
    for (std::size_t step = 0; step < scale.Steps(); ++step) {
        out += "<span><i style=\"background:" + CssColour(scale.ColourOfStep(step)) + "\"></i>";
        const std::size_t low = scale.Low(step);
        const std::size_t high = scale.High(step);
        if (low != high) {
            AppendNumber(out, low);
            out += "&ndash;";
        }
        AppendNumber(out, high);
        out += "</span>";
    }
    out += "</p>\n";
}

void AppendPicture(std::string& out, const BenchSummary& summary, const BenchPicture& picture) {
    out += "<h2>Failures by key on ";
    AppendText(out, picture.layoutName.empty() ? summary.layout : picture.layoutName);
    out += " <small>(" + Units(summary.layoutUnits) + " tested on it)</small></h2>\n";
    if (picture.keys.empty()) {
        out += "<p class=\"missing\">No keyboard picture: ";
        AppendText(out, picture.missing);
        out += "</p>\n";
        return;
    }
    std::map<std::wstring, const KeyFailures*> failures;
    std::size_t max = 0;
    for (const KeyFailures& key : summary.layoutKeys) {
        failures.emplace(key.name, &key);
    }
    for (const ReportRow& row : picture.keys) {
        const auto found = failures.find(KeyDisplayName(row));
        if (found != failures.end()) {
            max = std::max(max, found->second->Total());
        }
    }
    const HeatScale scale(max);
    std::vector<SvgKey> keys;
    keys.reserve(picture.keys.size());
    for (const ReportRow& row : picture.keys) {
        const std::wstring name = KeyDisplayName(row);
        const auto found = failures.find(name);
        const KeyFailures none;
        const KeyFailures& key = found == failures.end() ? none : *found->second;
        std::wstring title = name + L": ";
        title += key.Total() == 0 ? L"no failures"
                                  : L"failed on " + std::to_wstring(key.Total()) + L" of " +
                                        std::to_wstring(summary.layoutUnits) + L" units (faulty " +
                                        std::to_wstring(key.faulty) + L", untested " +
                                        std::to_wstring(key.untested) + L")";
        keys.push_back(SvgKey{row.key, row.label, title, scale.ColourOf(key.Total())});
    }
    AppendKeyboardSvg(out, picture.width, picture.height, keys);
    AppendHeatLegend(out, scale);
}

void AppendKeyTable(std::string& out, const BenchSummary& summary) {
    out += "<h2>Keys that failed most</h2>\n";
    if (summary.keys.empty()) {
        out += "<p>No key failed.</p>\n";
        return;
    }
    out += "<table>\n<tr><th>Key</th><th>Failed on</th><th>Faulty</th><th>Untested</th></tr>\n";
    const std::size_t shown = std::min(summary.keys.size(), kTableRows);
    for (std::size_t i = 0; i < shown; ++i) {
        const KeyFailures& key = summary.keys[i];
        out += "<tr><td>";
        AppendText(out, key.name);
        out += "</td><td class=\"n\">" + Units(key.Total()) + "</td><td class=\"n\">";
        AppendNumber(out, key.faulty);
        out += "</td><td class=\"n\">";
        AppendNumber(out, key.untested);
        out += "</td></tr>\n";
    }
    out += "</table>\n";
    if (summary.keys.size() > shown) {
        out += "<p>and " + std::to_string(summary.keys.size() - shown) +
               " more keys that failed less often.</p>\n";
    }
}

} // namespace

std::string WriteBenchSummaryHtml(const BenchSummary& summary, const BenchPicture& picture,
                                  const std::vector<std::wstring>& files) {
    std::string out;
    out.reserve(16384 + 400 * picture.keys.size());
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>Bench summary</title>\n<style>\n";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<h1>Bench summary</h1>\n<p class=\"period\">";
    if (summary.first.year != 0) {
        out += "Tests from ";
        AppendText(out, DateTimeText(summary.first));
        out += " to ";
        AppendText(out, DateTimeText(summary.last));
    } else {
        out += summary.tested == 0 ? "No units in these files." : "Test times not recorded.";
    }
    out += "</p>\n";
    AppendFigures(out, summary);
    if (summary.tested > 0) {
        AppendPicture(out, summary, picture);
    }
    AppendKeyTable(out, summary);
    out += "<p class=\"files\">Read from: ";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        AppendText(out, files[i]);
    }
    out += "</p>\n</body>\n</html>\n";
    return out;
}
