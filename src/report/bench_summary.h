#pragma once
// Reading bench files back and summing them up: how many units were tested, passed and
// failed, which keys failed most, and on which layout most units were tested.
#include "report/bench_record.h"
#include "report/report_model.h"

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
    // The earliest and the latest test whose date and time could be read (year 0: none).
    LocalTimeFields first;
    LocalTimeFields last;
};

BenchSummary SummariseBench(const std::vector<BenchRow>& rows);

// "83.3%" (one decimal, rounded half up), "-" when no unit was tested.
std::string PassRateText(const BenchSummary& summary);

// The summary page's picture: the most used layout's keys as the report lists them.
struct BenchPicture {
    std::wstring layoutName; // the layout's own name
    int width = 0;
    int height = 0;
    std::vector<ReportRow> keys; // none: the page says why there is no picture
    std::wstring missing;        // why
};

// UTF-8 bytes of a page that shows as it is in any browser (inline style and SVG, nothing
// fetched): the figures, the keys that failed most, and the layout's keyboard with each key
// coloured by the number of units on which it failed, with a legend. files are the bench
// files read. Every text from a file is escaped.
std::string WriteBenchSummaryHtml(const BenchSummary& summary, const BenchPicture& picture,
                                  const std::vector<std::wstring>& files);
