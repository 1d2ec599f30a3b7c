#include "session/plan_verdict.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr std::size_t kNamesShown = 8;

bool IsFaultyState(std::int32_t state) {
    return state == Alarm || state == AlarmDepressed;
}

} // namespace

std::wstring PlanVerdict::Headline() const {
    if (pass) {
        return L"PASS";
    }
    std::wstring text = L"FAIL";
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        text += (i == 0 ? L": " : L"; ") + reasons[i];
    }
    return text;
}

void PlanTracker::Clear() {
    slotOfCode_.clear();
    keys_.clear();
    tested_ = faulty_ = passed_ = passingUp_ = 0;
}

void PlanTracker::Apply(const TestPlan& plan, KeyboardLayout& layout) {
    if (slotOfCode_.empty()) {
        slotOfCode_.assign(0x10000, 0);
    } else {
        for (const RequiredKey& entry : keys_) {
            slotOfCode_[entry.code] = 0;
        }
        slotOfCode_[kScanCodePause] = 0;
        slotOfCode_[kScanCodeBreak] = 0;
    }
    keys_.clear();
    tested_ = faulty_ = passed_ = passingUp_ = 0;
    for (LayoutKey& key : layout.keys) {
        if (plan.IsSkipped(key.scanCode)) {
            key.state = Skipped;
            continue;
        }
        // A second key with a code already required never changes colour: the first one
        // stands for both.
        if (slotOfCode_[key.scanCode] != 0 || keys_.size() >= 0xFFFF) {
            continue;
        }
        RequiredKey entry;
        entry.key = &key;
        entry.code = key.scanCode;
        entry.required = plan.PressesFor(key.scanCode);
        keys_.push_back(entry);
        slotOfCode_[key.scanCode] = static_cast<std::uint16_t>(keys_.size());
        Update(keys_.back());
    }
    // Pause and Ctrl+Break are one key: a layout that draws only one of them counts the
    // presses of both on it, as the key states do.
    if (layout.hasPause && !layout.hasBreak) {
        slotOfCode_[kScanCodeBreak] = slotOfCode_[kScanCodePause];
    } else if (layout.hasBreak && !layout.hasPause) {
        slotOfCode_[kScanCodePause] = slotOfCode_[kScanCodeBreak];
    }
}

void PlanTracker::Update(RequiredKey& entry) {
    const std::int32_t state = entry.key->state;
    const bool tested = entry.presses > 0;
    const bool faulty = IsFaultyState(state);
    const bool passed = !faulty && entry.presses >= entry.required;
    const bool passingUp = passed && state == Pressed;
    tested_ += static_cast<std::size_t>(tested) - static_cast<std::size_t>(entry.tested);
    faulty_ += static_cast<std::size_t>(faulty) - static_cast<std::size_t>(entry.faulty);
    passed_ += static_cast<std::size_t>(passed) - static_cast<std::size_t>(entry.passed);
    passingUp_ += static_cast<std::size_t>(passingUp) - static_cast<std::size_t>(entry.passingUp);
    entry.tested = tested;
    entry.faulty = faulty;
    entry.passed = passed;
    entry.passingUp = passingUp;
}

void PlanTracker::FillVerdict(PlanVerdict& verdict, const KeyNamer& name) const {
    verdict.required = keys_.size();
    verdict.passed = passed_;
    verdict.tested = tested_;
    std::vector<std::wstring> incomplete;
    for (const RequiredKey& entry : keys_) {
        if (entry.faulty) {
            verdict.faultyKeys.push_back(name(*entry.key));
        } else if (entry.presses == 0) {
            verdict.untestedKeys.push_back(name(*entry.key));
        } else if (entry.presses < entry.required) {
            verdict.incompleteKeys.push_back(name(*entry.key));
            incomplete.push_back(name(*entry.key) + L" pressed " + std::to_wstring(entry.presses) +
                                 L" of " + std::to_wstring(entry.required) + L" times");
        }
    }
    if (!verdict.faultyKeys.empty()) {
        verdict.reasons.push_back(JoinKeyNames(verdict.faultyKeys) + L" faulty");
    }
    if (!verdict.untestedKeys.empty()) {
        verdict.reasons.push_back(JoinKeyNames(verdict.untestedKeys) + L" untested");
    }
    verdict.reasons.insert(verdict.reasons.end(), incomplete.begin(), incomplete.end());
}

void PlanRun::SetPlan(TestPlan plan) {
    plan_ = std::move(plan);
    hasPlan_ = true;
    running_ = false;
    hasVerdict_ = false;
}

void PlanRun::ClearPlan() {
    plan_ = TestPlan();
    hasPlan_ = false;
    running_ = false;
    hasVerdict_ = false;
    tracker_.Clear();
}

void PlanRun::Apply(KeyboardLayout& layout) {
    if (hasPlan_) {
        tracker_.Apply(plan_, layout);
    }
}

void PlanRun::Start(std::int64_t nowUs) {
    running_ = hasPlan_;
    startUs_ = nowUs;
    hasVerdict_ = false;
}

PlanVerdict PlanRun::End(PlanEnd end, std::int64_t atUs, const UnitFigures& figures,
                         const PlanTracker::KeyNamer& name) {
    PlanVerdict verdict = Judge(end, atUs, figures, name);
    if (running_) {
        running_ = false;
        verdict_ = verdict;
        hasVerdict_ = true;
    }
    return verdict;
}

PlanVerdict PlanRun::Judge(PlanEnd end, std::int64_t atUs, const UnitFigures& figures,
                           const PlanTracker::KeyNamer& name) const {
    PlanVerdict verdict;
    verdict.end = running_ ? end : PlanEnd::Running;
    verdict.durationUs = running_ ? atUs - startUs_ : 0;
    verdict.rollover = figures.rollover;
    verdict.minRollover = plan_.minRollover;
    verdict.overflows = figures.overflows;
    verdict.overflowAt = figures.overflowAt;
    verdict.chatterEvents = figures.chatterEvents;
    if (!hasPlan_) {
        verdict.reasons.push_back(L"no test plan");
    }
    tracker_.FillVerdict(verdict, name);
    if (figures.rollover < plan_.minRollover) {
        std::wstring reason = L"rollover " + std::to_wstring(figures.rollover) + L" below " +
                              std::to_wstring(plan_.minRollover);
        if (figures.overflowAt > 0) {
            reason += L", overflow at " + std::to_wstring(figures.overflowAt);
        }
        verdict.reasons.push_back(std::move(reason));
    }
    verdict.pass = verdict.reasons.empty();
    if (!verdict.pass && verdict.end == PlanEnd::TimeLimit) {
        verdict.reasons.push_back(L"time limit of " + SecondsText(plan_.timeLimitUs) + L" ran out");
    }
    return verdict;
}

PlanProgress PlanRun::Progress(std::int64_t nowUs) const {
    PlanProgress progress;
    progress.running = running_;
    progress.required = tracker_.Required();
    progress.passed = tracker_.Passed();
    progress.tested = tracker_.Tested();
    progress.faulty = tracker_.Faulty();
    if (plan_.timeLimitUs > 0) {
        const std::int64_t end = running_ ? nowUs : startUs_ + verdict_.durationUs;
        progress.timeLeftUs = std::max<std::int64_t>(0, plan_.timeLimitUs - (end - startUs_));
    }
    return progress;
}

std::wstring JoinKeyNames(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
        text += (i == 0 ? L"" : L", ") + names[i];
    }
    if (names.size() > kNamesShown) {
        text += L" and " + std::to_wstring(names.size() - kNamesShown) + L" more";
    }
    return text;
}

std::wstring SecondsText(std::int64_t microseconds) {
    if (microseconds % 1000000 == 0) {
        return std::to_wstring(microseconds / 1000000) + L" s";
    }
    wchar_t text[40];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.3f", microseconds / 1e6);
    std::wstring shown = text;
    while (shown.back() == L'0') {
        shown.pop_back();
    }
    return shown + L" s";
}
