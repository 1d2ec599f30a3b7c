#pragma once
// The verdict of a test plan on one unit: which keys of the layout the plan requires, how far
// each of them is, and PASS or FAIL with the reasons an operator reads at the bench.
#include "layouts/keyboard_layout.h"
#include "session/test_plan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// How a unit's test ended.
enum class PlanEnd {
    Running,   // not yet
    Passed,    // by itself: every required key passed and the rollover reached its minimum
    Finished,  // the operator finished it
    TimeLimit, // the plan's time limit ran out
};

struct PlanVerdict {
    PlanEnd end = PlanEnd::Running;
    bool pass = false;
    // One per cause of a FAIL, in this order: "Esc faulty", "A, Space untested", "Space
    // pressed 1 of 3 times" (one per key), "rollover 4 below 6" (", overflow at 5" when the
    // keyboard reported one), "time limit of 120 s ran out". Empty for a PASS.
    std::vector<std::wstring> reasons;
    std::size_t required = 0; // keys the plan requires
    std::size_t passed = 0;   // of them: pressed their times, not faulty
    std::size_t tested = 0;   // of them: pressed at least once
    // Names of the required keys in each condition, in layout order.
    std::vector<std::wstring> faultyKeys;
    std::vector<std::wstring> untestedKeys;
    std::vector<std::wstring> incompleteKeys; // pressed, but fewer times than the plan asks
    std::size_t rollover = 0;
    std::uint32_t minRollover = 0; // 0: none asked
    std::size_t overflows = 0;     // ROLLOVER OVERFLOW lines
    std::size_t overflowAt = 0;    // keys held + 1 at the first overflow; 0: none
    std::size_t chatterEvents = 0;
    std::int64_t durationUs = 0; // from the unit's start to its end

    // "PASS", or "FAIL: " and the reasons joined by "; ".
    std::wstring Headline() const;
};

// Where a running unit stands, for a banner such as "Testing U123: 57 / 104".
struct PlanProgress {
    bool running = false;
    std::size_t required = 0;
    std::size_t passed = 0; // pressed their times and not faulty (held or not)
    std::size_t tested = 0;
    std::size_t faulty = 0;
    std::int64_t timeLeftUs = -1; // -1: the plan sets no limit
};

// Follows the required keys of the active layout as the key states move. Every layout key
// counts once per scan code (the first key with a code is the one the engine colours); the
// plan's skipped keys are set Skipped and required by nothing.
class PlanTracker {
public:
    using KeyNamer = std::function<std::wstring(const LayoutKey& key)>;

    // After every reset of the key states: the plan's skipped keys to Skipped, every other
    // key required with no press counted.
    void Apply(const TestPlan& plan, KeyboardLayout& layout);
    // No plan: nothing required, nothing followed.
    void Clear();

    // A press that wrote a DOWN line, before the key's state moves.
    void OnPressed(ScanCode code) {
        if (!slotOfCode_.empty() && slotOfCode_[code] != 0) {
            ++keys_[slotOfCode_[code] - 1u].presses;
        }
    }
    // A key's state may have changed.
    void OnKeyState(const LayoutKey& key) {
        if (!slotOfCode_.empty() && slotOfCode_[key.scanCode] != 0) {
            Update(keys_[slotOfCode_[key.scanCode] - 1u]);
        }
    }

    // Every required key passed and is up again (a key still down may yet bounce).
    bool AllReleasedAndPassed() const { return passingUp_ == keys_.size(); }
    std::size_t Required() const { return keys_.size(); }
    std::size_t Passed() const { return passed_; }
    std::size_t Tested() const { return tested_; }
    std::size_t Faulty() const { return faulty_; }

    // The keys' part of the verdict: counts, names and reasons (faulty, untested, incomplete).
    void FillVerdict(PlanVerdict& verdict, const KeyNamer& name) const;

private:
    struct RequiredKey {
        const LayoutKey* key = nullptr; // valid until the next layout load, which applies again
        ScanCode code = 0;
        std::uint32_t required = 1;
        std::uint32_t presses = 0;
        bool tested = false;
        bool faulty = false;
        bool passed = false;
        bool passingUp = false;
    };
    void Update(RequiredKey& entry);

    // Slot of each code in keys_ plus one; 0 for a code no required key answers to. Empty
    // while no plan applies.
    std::vector<std::uint16_t> slotOfCode_;
    std::vector<RequiredKey> keys_; // layout order
    std::size_t tested_ = 0;
    std::size_t faulty_ = 0;
    std::size_t passed_ = 0;
    std::size_t passingUp_ = 0;
};

// What the whole test measured beside the keys, for the verdict.
struct UnitFigures {
    std::size_t rollover = 0;
    std::size_t overflows = 0;
    std::size_t overflowAt = 0;
    std::size_t chatterEvents = 0;
};

// A plan applied to unit after unit: the plan, the tracker of its keys, and the unit under
// test with its start and, once ended, its verdict. Times are microseconds of the key-event
// clock.
class PlanRun {
public:
    void SetPlan(TestPlan plan);
    void ClearPlan();
    const TestPlan* Plan() const { return hasPlan_ ? &plan_ : nullptr; }

    // After every reset of the key states (layout load, Clear / Reload, a new unit).
    void Apply(KeyboardLayout& layout);
    // A new unit's test begins at nowUs; the key states were just reset.
    void Start(std::int64_t nowUs);
    bool Running() const { return running_; }

    void OnPressed(ScanCode code) {
        if (running_) {
            tracker_.OnPressed(code);
        }
    }
    void OnKeyState(const LayoutKey& key) { tracker_.OnKeyState(key); }

    // Whether the unit passed by itself with the figures after an event.
    bool HasPassed(std::size_t rollover) const {
        return running_ && tracker_.AllReleasedAndPassed() && rollover >= plan_.minRollover;
    }
    // Whether the plan's time limit ran out by nowUs; the end is then at DeadlineUs().
    bool TimeRanOut(std::int64_t nowUs) const {
        return running_ && plan_.timeLimitUs > 0 && nowUs - startUs_ >= plan_.timeLimitUs;
    }
    std::int64_t DeadlineUs() const { return startUs_ + plan_.timeLimitUs; }

    // Ends a running unit at atUs; the verdict of any end, also of one without a running unit
    // (then nothing ends and the keys are judged as they stand).
    PlanVerdict End(PlanEnd end, std::int64_t atUs, const UnitFigures& figures,
                    const PlanTracker::KeyNamer& name);
    // The verdict the unit would have if it ended so now, nothing changed.
    PlanVerdict Judge(PlanEnd end, std::int64_t atUs, const UnitFigures& figures,
                      const PlanTracker::KeyNamer& name) const;
    // The verdict of the last unit that ended; null before the first.
    const PlanVerdict* LastVerdict() const { return hasVerdict_ ? &verdict_ : nullptr; }
    PlanProgress Progress(std::int64_t nowUs) const;

private:
    TestPlan plan_;
    bool hasPlan_ = false;
    PlanTracker tracker_;
    bool running_ = false;
    std::int64_t startUs_ = 0;
    PlanVerdict verdict_;
    bool hasVerdict_ = false;
};

// "A, Space" for up to eight names, "A, B, C, D, E, F, G, H and 3 more" beyond.
std::wstring JoinKeyNames(const std::vector<std::wstring>& names);
// "120 s", "1.5 s"
std::wstring SecondsText(std::int64_t microseconds);
