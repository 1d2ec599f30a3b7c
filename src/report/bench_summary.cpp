#include "report/bench_summary.h"

#include "base/utf8.h"
#include "layouts/layout_library.h"
#include "report/csv_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>

namespace {

enum Column : std::size_t {
    kDate,
    kTime,
    kUnit,
    kPlan,
    kLayout,
    kVerdict,
    kTested,
    kRequired,
    kFaultyKeys,
    kUntestedKeys,
    kChatterEvents,
    kRollover,
    kOverflow,
    kDuration,
    kReport,
};

// Where each column is in the file's rows.
using ColumnMap = std::array<std::size_t, kBenchColumnCount>;

bool IsHeaderCandidate(const CsvRecord& record) {
    return record.error.empty() && !record.cells.empty() && record.cells[0] == kBenchColumns[kDate];
}

// The column that is missing, or empty when every column was found.
std::string MapColumns(const std::vector<std::string>& cells, ColumnMap& map) {
    for (std::size_t column = 0; column < kBenchColumnCount; ++column) {
        const auto found = std::find(cells.begin(), cells.end(), kBenchColumns[column]);
        if (found == cells.end()) {
            return kBenchColumns[column];
        }
        map[column] = static_cast<std::size_t>(found - cells.begin());
    }
    return std::string();
}

bool ParseWhole(std::string_view text, std::uint32_t& value) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 10) {
        return false;
    }
    std::uint64_t parsed = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        parsed = parsed * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (parsed > 0xFFFFFFFFu) {
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

// Spreadsheet programs may have rewritten the date and time; they are not needed for the
// figures, so a form other than the one written leaves them zero.
void ParseDateTime(const std::string& date, const std::string& time, LocalTimeFields& when) {
    LocalTimeFields parsed;
    char end = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &parsed.year, &parsed.month, &parsed.day,
                    &end) == 3 &&
        std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &parsed.hour, &parsed.minute, &parsed.second,
                    &end) == 3) {
        when = parsed;
    }
}

std::wstring TextCell(const std::string& cell) {
    return UnguardCsvCell(DecodeUtf8(cell));
}

// The row's fields, or the reason it cannot be read.
std::string ReadRow(const std::vector<std::string>& cells, const ColumnMap& map, BenchRow& row) {
    const std::size_t needed = *std::max_element(map.begin(), map.end()) + 1;
    if (cells.size() < needed) {
        return std::to_string(cells.size()) + " cells where " + std::to_string(needed) +
               " are expected";
    }
    const auto cell = [&](Column column) -> const std::string& { return cells[map[column]]; };
    const std::string& verdict = cell(kVerdict);
    if (verdict != "PASS" && verdict != "FAIL") {
        return "Verdict is '" + verdict + "', not PASS or FAIL";
    }
    row.passed = verdict == "PASS";
    const std::pair<Column, std::uint32_t*> numbers[] = {{kTested, &row.tested},
                                                         {kRequired, &row.required},
                                                         {kChatterEvents, &row.chatterEvents},
                                                         {kRollover, &row.rollover},
                                                         {kOverflow, &row.overflow},
                                                         {kDuration, &row.durationSeconds}};
    for (const auto& [column, value] : numbers) {
        if (!ParseWhole(cell(column), *value)) {
            return std::string(kBenchColumns[column]) + " is '" + cell(column) +
                   "', not a whole number";
        }
    }
    ParseDateTime(cell(kDate), cell(kTime), row.when);
    row.unit = TextCell(cell(kUnit));
    row.plan = TextCell(cell(kPlan));
    row.layout = TextCell(cell(kLayout));
    row.faultyKeys = SplitKeyNames(TextCell(cell(kFaultyKeys)));
    row.untestedKeys = SplitKeyNames(TextCell(cell(kUntestedKeys)));
    row.report = TextCell(cell(kReport));
    return std::string();
}

std::string Identity(const std::vector<std::string>& cells, const ColumnMap& map) {
    std::string identity;
    for (std::size_t index : map) {
        identity += cells[index];
        identity += '\x1F';
    }
    return identity;
}

std::vector<KeyFailures> CountKeys(const std::vector<BenchRow>& rows, const std::wstring* layout) {
    std::map<std::wstring, KeyFailures> counts;
    for (const BenchRow& row : rows) {
        if (layout != nullptr && row.layout != *layout) {
            continue;
        }
        for (const std::wstring& name : row.faultyKeys) {
            ++counts[name].faulty;
        }
        for (const std::wstring& name : row.untestedKeys) {
            ++counts[name].untested;
        }
    }
    std::vector<KeyFailures> keys;
    keys.reserve(counts.size());
    for (auto& [name, failures] : counts) {
        failures.name = name;
        keys.push_back(failures);
    }
    std::sort(keys.begin(), keys.end(), [](const KeyFailures& a, const KeyFailures& b) {
        return a.Total() != b.Total() ? a.Total() > b.Total() : LayoutNameLess(a.name, b.name);
    });
    return keys;
}

} // namespace

void ReadBenchFile(std::string_view bytes, const std::string& fileName,
                   std::vector<BenchRecord>& records, std::vector<std::string>& problems) {
    const std::vector<CsvRecord> csv = ReadCsvRecords(bytes);
    const auto problem = [&](std::size_t line, const std::string& reason) {
        problems.push_back(fileName + ":" + std::to_string(line) + ": " + reason);
    };
    ColumnMap map{};
    if (csv.empty() || !IsHeaderCandidate(csv.front())) {
        problems.push_back(fileName + ": not a bench file: the first line is not the header " +
                           "(Date,Time,Unit,...)");
        return;
    }
    for (const CsvRecord& record : csv) {
        if (!record.error.empty()) {
            problem(record.line, record.error);
            continue;
        }
        if (IsHeaderCandidate(record)) {
            // A file may hold a second header where two benches began it at the same time.
            ColumnMap found{};
            const std::string missing = MapColumns(record.cells, found);
            if (missing.empty()) {
                map = found;
            } else if (&record == &csv.front()) {
                problem(record.line, "the header has no column '" + missing + "'");
                return;
            } else {
                problem(record.line, "a header without the column '" + missing + "'");
            }
            continue;
        }
        BenchRecord read;
        const std::string reason = ReadRow(record.cells, map, read.row);
        if (!reason.empty()) {
            problem(record.line, reason);
            continue;
        }
        read.identity = Identity(record.cells, map);
        records.push_back(std::move(read));
    }
}

std::vector<BenchRow> UniqueBenchRows(const std::vector<BenchRecord>& records) {
    std::vector<BenchRow> rows;
    std::set<std::string_view> seen;
    for (const BenchRecord& record : records) {
        if (seen.insert(record.identity).second) {
            rows.push_back(record.row);
        }
    }
    return rows;
}

BenchSummary SummariseBench(const std::vector<BenchRow>& rows) {
    BenchSummary summary;
    std::map<std::wstring, std::size_t> layouts;
    for (const BenchRow& row : rows) {
        ++summary.tested;
        ++(row.passed ? summary.passed : summary.failed);
        ++layouts[row.layout];
    }
    const auto timeOrder = [](const LocalTimeFields& t) {
        return std::array<int, 6>{t.year, t.month, t.day, t.hour, t.minute, t.second};
    };
    for (const BenchRow& row : rows) {
        if (row.when.year == 0) {
            continue;
        }
        if (summary.first.year == 0 || timeOrder(row.when) < timeOrder(summary.first)) {
            summary.first = row.when;
        }
        if (timeOrder(row.when) > timeOrder(summary.last)) {
            summary.last = row.when;
        }
    }
    summary.keys = CountKeys(rows, nullptr);
    for (const auto& [layout, units] : layouts) {
        if (units > summary.layoutUnits ||
            (units == summary.layoutUnits && LayoutNameLess(layout, summary.layout))) {
            summary.layout = layout;
            summary.layoutUnits = units;
        }
    }
    if (summary.layoutUnits > 0) {
        summary.layoutKeys = CountKeys(rows, &summary.layout);
    }
    return summary;
}

std::string PassRateText(const BenchSummary& summary) {
    if (summary.tested == 0) {
        return "-";
    }
    const std::size_t tenths = (summary.passed * 2000 / summary.tested + 1) / 2;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}
