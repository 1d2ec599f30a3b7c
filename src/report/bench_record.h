#pragma once
// Bench mode's record of the units it tested: one row per unit in a CSV file (bench.csv) that
// only ever grows, and the base name of each unit's report files.
#include "logging/paths.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BenchRow {
    LocalTimeFields when; // local time the test ended
    std::wstring unit;    // as typed or scanned
    std::wstring plan;    // the plan's name
    // The layout as the plan names it: a file name in the layout folder, a path, or "default".
    std::wstring layout;
    bool passed = false;
    std::uint32_t tested = 0;   // required keys that were tested
    std::uint32_t required = 0; // keys the plan requires
    std::vector<std::wstring> faultyKeys;
    std::vector<std::wstring> untestedKeys;
    std::uint32_t chatterEvents = 0;
    std::uint32_t rollover = 0; // most keys held at once
    std::uint32_t overflow = 0; // rollover overflow codes received
    std::uint32_t durationSeconds = 0;
    std::wstring report; // file name of the unit's HTML report, without its folder
};

constexpr std::size_t kBenchColumnCount = 15;
// Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,Untested keys,
// Chatter events,Rollover,Overflow,Duration (s),Report
extern const char* const kBenchColumns[kBenchColumnCount];

// Key names share one cell, joined by "; ". A name's own "; " becomes ";" so that the
// list splits back into the same names; empty names are left out.
std::wstring JoinBenchKeyNames(const std::vector<std::wstring>& names);
std::vector<std::wstring> SplitKeyNames(std::wstring_view cell);

// "yyyy-mm-dd", "hh:mm:ss", the unit and so on, "PASS" or "FAIL", whole numbers in decimal.
std::vector<std::wstring> BenchCells(const BenchRow& row);
// The row as CSV in UTF-8 (quoted and formula-guarded as the report's CSV), ending in CR LF.
std::string FormatBenchRow(const BenchRow& row);

// What to add at the end of a bench file whose content is existing so that it gains the row:
// for an empty or new file the byte-order mark and the header first; after a last line that
// was cut off, the line end it lacks (and the closing quote of a quoted cell left open), so the
// new row never continues a torn one.
std::string BenchFileAppendix(std::string_view existing, const BenchRow& row);

// Appends the row to the bench file at path, creating the file when it is missing. Nothing is
// written when the existing file cannot be read. False, with a diagnostic message, on failure.
bool AppendBenchRow(const std::wstring& path, const BenchRow& row);

// "<unit>_<yyyymmdd-hhmmss>", and "-<serial>" after it for a serial above 1 (for a second
// report of the same unit within one second). The unit's spaces at either end are dropped;
// characters a Windows file name cannot hold (control characters and <>:"/\|?*) become "_";
// an empty unit becomes "unit"; a long one is cut to 100 characters; a name whose part before
// its first dot is a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9) gets "_" after
// that part.
std::wstring BenchReportBaseName(const std::wstring& unit, const LocalTimeFields& time,
                                 int serial = 1);
