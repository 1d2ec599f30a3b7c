#pragma once
// Reading bench files back and summing them up: how many units were tested, passed and
// failed, which keys failed most, and on which layout most units were tested.
#include "report/bench_record.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A row as read, with its identity: its cells as the file holds them, so that one test found
// twice (a file given twice, a copy of a file) is counted once.
struct BenchRecord {
    BenchRow row;
    std::string identity;
};

// Reads the rows of one bench file (byte-order mark optional, CR LF or LF). The file must
// start with the bench header; its columns are found by name, so columns added later are
// skipped. Each row that cannot be read adds "<fileName>:<line>: <reason>" to problems and is
// left out; a file without the header adds one problem and gives no rows.
void ReadBenchFile(std::string_view bytes, const std::string& fileName,
                   std::vector<BenchRecord>& records, std::vector<std::string>& problems);

// The records without repeats, first ones kept. All cells equal means the same test: two
// tests of one unit differ at least in their time or their report file.
std::vector<BenchRow> UniqueBenchRows(const std::vector<BenchRecord>& records);

struct KeyFailures {
    std::wstring name;
    std::size_t faulty = 0;   // units on which the key was faulty
    std::size_t untested = 0; // units on which it was not tested (or not enough)
    std::size_t Total() const { return faulty + untested; }
};

struct BenchSummary {
    std::size_t tested = 0;
    std::size_t passed = 0;
    std::size_t failed = 0;
    // Most failures first, then by name.
    std::vector<KeyFailures> keys;
    // The Layout cell of the most rows (ties: the first in name order), the number of those
    // rows and their key failures only, for the picture of that layout.
    std::wstring layout;
    std::size_t layoutUnits = 0;
    std::vector<KeyFailures> layoutKeys;
};

BenchSummary SummariseBench(const std::vector<BenchRow>& rows);

// "83.3%" (one decimal, rounded half up), "-" when no unit was tested.
std::string PassRateText(const BenchSummary& summary);
