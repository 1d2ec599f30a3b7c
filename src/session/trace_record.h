#pragma once
// The raw keyboard records of a test as they arrived, and their text form: what the Report
// button writes as the test's .trace file and what tapwise-cli replay reads.
#include "input/raw_decoder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TraceRecord {
    std::int64_t time = 0; // microseconds of the key-event clock when the record arrived
    RawKeyRecord record;

    bool operator==(const TraceRecord&) const = default;
};
// A long test keeps every record it was fed.
static_assert(sizeof(TraceRecord) <= 32, "a kept record takes at most 32 bytes");

// Parses a trace: one record per line, "TIME MAKE FLAGS VKEY [DEVICE]", each a decimal or
// 0x-hexadecimal number (DEVICE defaults to 1); TIME is in milliseconds and may have up to
// three decimals ("1234.567"), so it is exact to the microsecond; "#" starts a comment; blank
// lines are skipped. On the first malformed line returns false, no records, and "line N:
// <what is wrong>".
bool ParseTrace(std::string_view text, std::vector<TraceRecord>& records, std::string& error);

// Microseconds as milliseconds with exactly three decimals: 1234567 gives "1234.567".
std::string FormatTraceTime(std::int64_t microseconds);

// What the comment lines at the top of a written trace say about the test.
struct TraceHeader {
    std::wstring programVersion;
    std::wstring layoutName;
    std::wstring layoutFile;     // empty: the built-in default layout
    std::uint32_t threshold = 8; // ms
    std::wstring clock;
};

// UTF-8, CR LF line ends: the header as "#" lines (with the tapwise-cli replay command that
// replays it), then one line per record, "1234.567 0x1E 0 0x41 0x10041", which ParseTrace
// reads back to the same records.
std::string WriteTrace(const TraceHeader& header, const std::vector<TraceRecord>& records);
