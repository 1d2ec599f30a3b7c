#pragma once
// A test plan: the rules a bench applies to every unit of one keyboard model. It names the
// layout, the chatter threshold and the number of presses each key needs (with rules of their
// own for some keys), the keys left out of the test, a time limit and the rollover the
// keyboard must reach. Plans are UTF-8 JSON files named *.plan.json:
//   {"name": "Model X ISO", "layout": "iso_uk_105.kbl", "threshold_ms": 8, "presses": 1,
//    "keys": {"0x0039": {"threshold_ms": 20, "presses": 3}}, "skip": ["0xE05D"],
//    "time_limit_s": 120, "min_rollover": 6}
// Only "layout" is required. A field the plan format does not know is an error, so that a
// misspelt rule never goes unnoticed on a production line.
#include "base/scan_code.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The layout value that stands for the built-in layout.
inline constexpr char kPlanDefaultLayout[] = "default";

struct PlanKeyRule {
    std::optional<std::int64_t> thresholdUs;
    std::optional<std::uint32_t> presses;
};

struct TestPlan {
    std::wstring name;   // the "name" field, else the file name without ".plan.json"
    std::wstring layout; // as written: "default", a file name or a path
    // Without one the program's chatter threshold applies.
    std::optional<std::int64_t> thresholdUs;
    std::uint32_t presses = 1;
    std::map<ScanCode, PlanKeyRule> keys;
    std::vector<ScanCode> skip;    // ascending, each once
    std::int64_t timeLimitUs = 0;  // 0: no limit
    std::uint32_t minRollover = 0; // 0: no minimum

    bool IsSkipped(ScanCode code) const;
    std::uint32_t PressesFor(ScanCode code) const;
    // The key's own threshold, else the plan's, else fallbackUs.
    std::int64_t ThresholdUsFor(ScanCode code, std::int64_t fallbackUs) const;
    // Whether any key has a threshold of its own.
    bool HasKeyThresholds() const;
};

// Where and why a plan could not be read.
struct PlanError {
    int line = 0; // 1-based; 0 when no place in the text is to blame
    int column = 0;
    std::string field; // "threshold_ms", "keys.0x0039.presses", "skip[1]"; empty: the document
    std::string reason;
    // "line 3, column 14: keys.0x0039.presses: must be a whole number from 1 to 1000"
    std::string Text() const;
};

// Reads a plan from UTF-8 JSON (a byte-order mark is skipped). On failure the plan is left
// untouched and error says what is wrong.
bool ParseTestPlan(std::string_view text, TestPlan& plan, PlanError& error);

// Plan files larger than this are refused unread.
constexpr std::size_t kMaxPlanBytes = 1 << 20;

// Reads a plan file; a plan without a name takes its file name. On failure message reads
// "<file name>: <error>".
bool LoadTestPlanFile(const std::wstring& path, TestPlan& plan, std::wstring& message);

// The layout a plan names, as a path for the layout selection: the default layout marker for
// "default"; an absolute path as it is; a bare file name from the layout folder when it is
// there, else from the plan's own folder; any other relative path from the plan's folder.
std::wstring ResolvePlanLayout(const TestPlan& plan, const std::wstring& planPath,
                               const std::wstring& layoutFolder);

// "0x0039", "0xE05D": the scan code as the layout files write it.
std::wstring ScanCodeText(ScanCode code);
