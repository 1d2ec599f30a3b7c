#pragma once
// Bench mode: unit after unit under one test plan. The operator scans or types a unit, presses
// its keys, the test ends by itself (PASS), by Finish or by the plan's time limit, and the
// unit's files are written and its row added to bench.csv. This holds the flow's state, the
// banner it shows and the saving of a unit's files; the page only shows and forwards.
#include "logging/file_set.h"
#include "logging/paths.h"
#include "report/bench_record.h"
#include "session/plan_verdict.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class BenchState {
    NoPlan,  // no plan could be read: no unit can start
    Idle,    // waiting for a unit
    Testing, // a unit is under test
    Ended,   // the last unit ended; waiting for the next
};

// The colours of the banner: what the operator must take in at a glance.
enum class BenchTone { Waiting, Testing, Pass, Fail, Problem };

struct BenchBanner {
    std::wstring headline; // large: "Scan or type the unit", "PASS", "FAIL: A untested"
    std::wstring detail;   // small, below it: which unit, what to do next, a saving problem
    BenchTone tone = BenchTone::Waiting;
    // The detail is a problem the operator must act on (the unit's files were not saved); the
    // tone still tells PASS from FAIL.
    bool detailIsProblem = false;
};

// The unit as scanned or typed: control characters dropped (a scanner's prefix or suffix), no
// blanks at either end.
std::wstring CleanUnitText(std::wstring_view typed);

// "Time left: 1:05" (minutes and seconds, rounded up); empty without a limit or a running unit.
std::wstring TimeLeftText(const PlanProgress& progress);

class BenchFlow {
public:
    // No usable plan: message says why (the plan reader's words).
    void PlanFailed(std::wstring message);
    // A plan is in place; the flow waits for a unit.
    void PlanReady();
    BenchState State() const { return state_; }
    bool Testing() const { return state_ == BenchState::Testing; }

    // A unit typed or scanned and ended with Enter. False, and nothing starts, without a
    // plan, while a unit is under test or for an empty unit.
    bool Start(std::wstring_view typed);
    // The unit under test ended; true only for the first end of a unit (the session may
    // report one end twice: by itself and to the caller that asked for it).
    bool End(const PlanVerdict& verdict);
    // What became of the unit's files: saved under baseName, or the problem the operator must
    // know of.
    void Saved(std::wstring baseName) {
        savedAs_ = std::move(baseName);
        saveProblem_.clear();
    }
    void NotSaved(std::wstring problem) { saveProblem_ = std::move(problem); }

    const std::wstring& Unit() const { return unit_; }
    const PlanVerdict& Verdict() const { return verdict_; }
    BenchBanner Banner(const PlanProgress& progress) const;

private:
    BenchState state_ = BenchState::NoPlan;
    std::wstring planProblem_;
    std::wstring unit_;
    PlanVerdict verdict_;
    std::wstring savedAs_;
    std::wstring saveProblem_;
};

// One file of a unit: its extension (".html") and its bytes.
struct BenchFile {
    const wchar_t* extension;
    std::string bytes;
};

struct BenchSaveResult {
    bool saved = false;
    std::wstring baseName;   // the files' common name, without folder or extension
    std::wstring problem;    // why not, for the operator
    bool rowWritten = false; // the bench.csv row (only tried once the files are in place)
};

// Appends one row to the bench file at path (AppendBenchRow for the real file system).
using BenchRowWriter = std::function<bool(const std::wstring& path, const BenchRow& row)>;

// Writes the unit's files into folder (created when missing) under
// BenchReportBaseName(unit, when), with a serial when any of those names is taken, so that no
// file is ever overwritten; a set that cannot be written whole is removed again. Then appends
// row (its Report cell set to the HTML file's name) to folder\bench.csv.
BenchSaveResult SaveBenchUnit(LogFiles& files, const std::wstring& folder, const std::wstring& unit,
                              const LocalTimeFields& when, const std::vector<BenchFile>& contents,
                              BenchRow row, const BenchRowWriter& writeRow);

// The row of a unit that ended with verdict.
BenchRow MakeBenchRow(const std::wstring& unit, const TestPlan& plan, const PlanVerdict& verdict,
                      const LocalTimeFields& when);
