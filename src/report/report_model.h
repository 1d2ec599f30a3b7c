#pragma once
// The test report: what one keyboard test found, gathered from the layout's key states and
// the engine's per-key statistics, and written as a self-contained HTML page and as CSV.
// The program's Report button and tapwise-cli write the same bytes from the same model.
#include "base/colour.h"
#include "input/key_statistics.h"
#include "layouts/key_geometry.h"
#include "layouts/keyboard_layout.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Every hold and every release-to-press interval of the test, in microseconds, for the
// report's timing chart.
struct TimingSamples {
    std::vector<std::int64_t> holds;
    std::vector<std::int64_t> gaps;
};

// Where and when the test ran; shown in the report's context table.
struct ReportContext {
    std::wstring layoutName;
    std::uint32_t threshold = 8; // ms
    std::wstring interfaceText;
    std::wstring deviceText;
    std::wstring inputLanguage;
    std::wstring dateTime;
    std::wstring programVersion;
    // How event times were taken, e.g. "QPC, 10 MHz, stamped on the input thread".
    std::wstring clockText;
    StateColours colours;
    // The key-event clock (microseconds) and the local time of day (ms since midnight) read
    // at the same moment: event times of the clock become times of day from them.
    std::int64_t clockNow = 0;
    std::uint32_t timeOfDayNow = 0;
};

// Figures of one layout key, or of a code that has no key on the layout; times in
// microseconds.
struct ReportRow {
    ScanCode code = 0;
    std::wstring name;
    std::wstring label; // as printed on the key: "&" once, line breaks kept
    bool onLayout = true;
    std::int32_t state = Unpressed;
    std::uint32_t presses = 0;
    std::uint32_t chatter = 0;
    std::int64_t shortestChatter = 0; // valid when chatter > 0
    std::uint32_t holds = 0;
    std::int64_t shortestHold = 0; // valid when holds > 0; signed as the UP line shows it
    std::int64_t longestHold = 0;
    LayoutKey key; // geometry of a layout key
};

struct ReportChatter {
    std::uint32_t timeOfDay = 0; // ms since midnight
    ScanCode code = 0;
    std::wstring name;
    std::int64_t interval = 0; // microseconds
};

struct TestCoverage {
    std::size_t keys = 0;   // M: keys on the layout, those a test plan skips left out
    std::size_t tested = 0; // T: keys whose state is not untested
    std::size_t faulty = 0; // F: keys in the two alarm states
};

// The readout's figures, straight from the key states.
TestCoverage CountCoverage(const KeyboardLayout& layout);

// A test plan's verdict on the unit the report is about.
struct ReportPlan {
    std::wstring name;
    bool pass = false;
    std::vector<std::wstring> reasons; // of a FAIL
    std::size_t required = 0;          // keys the plan requires
    std::size_t passed = 0;
};

struct TestReport {
    ReportContext context;
    int width = 0; // the layout's picture in pixels
    int height = 0;
    std::vector<ReportRow> keys;   // layout order
    std::vector<ReportRow> extras; // code order
    std::vector<ReportChatter> chatterEvents;
    TestCoverage coverage;
    std::size_t chatter = 0; // CHATTER DETECTED lines, extra codes included
    std::size_t rollover = 0;
    std::vector<std::wstring> rolloverKeys;
    std::size_t overflows = 0;  // ROLLOVER OVERFLOW lines
    std::size_t overflowAt = 0; // fewest keys held at an overflow plus one; 0: none
    bool hasPlan = false;       // a test plan judged the unit: its verdict replaces the coverage's
    ReportPlan plan;
    TimingSamples timing;
};

// Events of a code reach the first layout key with that code after the Pause / Ctrl+Break
// substitution, as the key states do; codes that reach no key are extras.
TestReport BuildTestReport(const KeyboardLayout& layout, const KeyStatistics& statistics,
                           const std::map<ScanCode, std::wstring>& names,
                           const ReportContext& context);

// "untested", "held", "good", "faulty held", "faulty", "skipped"; empty for any other value.
const wchar_t* KeyStateName(std::int32_t state);
// "PASS: all 104 keys tested, none faulty" or "FAIL: 2 faulty, 3 untested".
std::wstring VerdictLine(const TestCoverage& coverage);
// The report's verdict: a plan's ("PASS: all 57 keys of the plan Model X passed", "FAIL: A, Space
// untested; rollover 4 below 6") when one judged the unit, else the coverage's.
std::wstring ReportVerdictLine(const TestReport& report);
// "summary: keys M tested T untested U faulty F chatter C extra E rollover R"
std::string SummaryLine(const TestReport& report);
// The name a key is listed under: its name, or its label when it has none.
std::wstring KeyDisplayName(const ReportRow& row);
// A layout label as the key shows it: the doubled ampersands of the stored label undone.
std::wstring PrintedLabel(const std::wstring& storedLabel);
// "HH:MM:SS.mmm"
std::string FormatTimeOfDay(std::uint32_t milliseconds);
// Microseconds as milliseconds with two decimals, truncated toward zero as the log lines'
// whole milliseconds are: 7999 gives "7.99", -1500 gives "-1.50".
std::wstring FormatMilliseconds(std::int64_t microseconds);

// The columns of the per-key table, and one row's cells as text: "0x%04X", name, label with
// its line breaks as spaces, "yes" / "no", the state's name, the counts, then the times in
// milliseconds with two decimals, each cell empty where there is no value.
constexpr std::size_t kReportColumnCount = 10;
extern const char* const kReportColumns[kReportColumnCount];
std::vector<std::wstring> ReportCells(const ReportRow& row);

// UTF-8 bytes of the HTML page: inline style, inline SVG picture, no script, nothing fetched.
std::string WriteReportHtml(const TestReport& report);
// UTF-8 with a byte-order mark, CR LF line ends, RFC 4180 quoting.
std::string WriteReportCsv(const TestReport& report);
