#pragma once
// CSV as the program writes it (RFC 4180 quoting, and a guard against cells a spreadsheet
// would take for a formula) and as it reads its own files back.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One cell in UTF-8: a cell that starts like a formula (=, +, - or @, but not a negative whole
// number), also behind apostrophes, gets one more apostrophe in front; a cell with a comma, a
// quote or a line break is quoted.
void AppendCsvCell(std::string& out, std::wstring_view cell);
// The cells joined by commas, then CR LF.
void AppendCsvRow(std::string& out, const std::vector<std::wstring>& cells);

// A cell as it was before the formula guard: the apostrophe the guard added is removed.
std::wstring UnguardCsvCell(std::wstring cell);

// One record of a CSV text: its cells in UTF-8, unquoted, and the line it starts on (from 1).
// A record that cannot be read has an error instead of cells.
struct CsvRecord {
    std::size_t line = 0;
    std::vector<std::string> cells;
    std::string error;
};

// Records end at CR LF, LF or a lone CR outside quotes; quoted cells may hold commas, doubled
// quotes and line breaks. A leading byte-order mark and blank lines are skipped. Text after a
// closing quote spoils its record only (reading goes on after its line end); a quote left
// open spoils the rest of the text, which becomes one bad record.
std::vector<CsvRecord> ReadCsvRecords(std::string_view text);
