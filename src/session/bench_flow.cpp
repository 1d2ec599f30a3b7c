#include "session/bench_flow.h"

#include "base/diagnostic_log.h"

#include <cwctype>

namespace {

constexpr wchar_t kBenchFileName[] = L"bench.csv";
// Beyond this many reports of one unit within one second something else is wrong.
constexpr int kMostSerials = 99;

std::wstring InFolder(std::wstring folder, const std::wstring& name) {
    AppendBackslash(folder);
    return folder + name;
}

} // namespace

std::wstring CleanUnitText(std::wstring_view typed) {
    std::wstring unit;
    for (wchar_t c : typed) {
        if (c >= 0x20 && c != 0x7F) {
            unit += c;
        }
    }
    const std::size_t first = unit.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    return unit.substr(first, unit.find_last_not_of(L' ') - first + 1);
}

std::wstring TimeLeftText(const PlanProgress& progress) {
    if (!progress.running || progress.timeLeftUs < 0) {
        return {};
    }
    const std::int64_t seconds = (progress.timeLeftUs + 999999) / 1000000;
    return FormatWide(L"Time left: %lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
}

void BenchFlow::PlanFailed(std::wstring message) {
    state_ = BenchState::NoPlan;
    planProblem_ = std::move(message);
}

void BenchFlow::PlanReady() {
    if (state_ == BenchState::NoPlan || state_ == BenchState::Testing) {
        state_ = BenchState::Idle;
    }
    planProblem_.clear();
}

bool BenchFlow::Start(std::wstring_view typed) {
    std::wstring unit = CleanUnitText(typed);
    if (state_ == BenchState::NoPlan || state_ == BenchState::Testing || unit.empty()) {
        return false;
    }
    unit_ = std::move(unit);
    state_ = BenchState::Testing;
    verdict_ = PlanVerdict();
    savedAs_.clear();
    saveProblem_.clear();
    return true;
}

bool BenchFlow::End(const PlanVerdict& verdict) {
    if (state_ != BenchState::Testing) {
        return false;
    }
    verdict_ = verdict;
    state_ = BenchState::Ended;
    return true;
}

BenchBanner BenchFlow::Banner(const PlanProgress& progress) const {
    switch (state_) {
    case BenchState::NoPlan:
        return {planProblem_.empty() ? L"No test plan" : L"Test plan not read",
                planProblem_.empty() ? L"Choose a plan file on the SETTINGS page." : planProblem_,
                BenchTone::Problem};
    case BenchState::Idle:
        return {L"Scan or type the unit", L"Enter starts the test.", BenchTone::Waiting};
    case BenchState::Testing:
        return {FormatWide(L"Testing %ls: %llu / %llu", unit_.c_str(),
                           static_cast<unsigned long long>(progress.passed),
                           static_cast<unsigned long long>(progress.required)),
                progress.faulty > 0
                    ? FormatWide(L"%llu faulty", static_cast<unsigned long long>(progress.faulty))
                    : L"Press every key; Finish ends the test.",
                BenchTone::Testing};
    case BenchState::Ended:
        break;
    }
    std::wstring detail = unit_;
    if (!saveProblem_.empty()) {
        detail += L": NOT SAVED: " + saveProblem_;
    } else if (!savedAs_.empty()) {
        detail += L" saved as " + savedAs_ + L". Scan or type the next unit.";
    } else {
        detail += L". Scan or type the next unit.";
    }
    return {verdict_.Headline(), std::move(detail),
            verdict_.pass ? BenchTone::Pass : BenchTone::Fail, !saveProblem_.empty()};
}

BenchSaveResult SaveBenchUnit(LogFiles& files, const std::wstring& folder, const std::wstring& unit,
                              const LocalTimeFields& when, const std::vector<BenchFile>& contents,
                              BenchRow row, const BenchRowWriter& writeRow) {
    BenchSaveResult result;
    if (folder.empty() || (!files.FolderExists(folder) && !files.CreateFolder(folder))) {
        result.problem = L"the folder " + folder + L" cannot be created";
        return result;
    }
    for (int serial = 1; serial <= kMostSerials && !result.saved; ++serial) {
        const std::wstring base = BenchReportBaseName(unit, when, serial);
        bool taken = false;
        for (const BenchFile& file : contents) {
            taken = taken || files.FileExists(InFolder(folder, base + file.extension));
        }
        if (taken) {
            continue;
        }
        std::vector<std::wstring> created;
        std::uint32_t error = 0;
        bool complete = true;
        for (const BenchFile& file : contents) {
            const std::wstring path = InFolder(folder, base + file.extension);
            const LogFiles::WriteResult written = files.WriteNewFile(path, file.bytes);
            if (written.created) {
                created.push_back(path);
            }
            if (!written.complete) {
                complete = false;
                taken = written.alreadyExists;
                error = written.error;
                break;
            }
        }
        if (complete) {
            result.saved = true;
            result.baseName = base;
            break;
        }
        // Half a set is worse than none: what this attempt created goes again.
        for (const std::wstring& path : created) {
            files.RemoveFile(path);
        }
        if (!taken) {
            LogMessage(L"BenchFlow::SaveBenchUnit\n   Failed (%08x).\n", error);
            result.problem = FormatWide(L"the files cannot be written in %ls (error %08x)",
                                        folder.c_str(), error);
            return result;
        }
    }
    if (!result.saved) {
        result.problem = L"every file name for this unit is taken";
        return result;
    }
    for (const BenchFile& file : contents) {
        if (std::wstring_view(file.extension) == L".html") {
            row.report = result.baseName + file.extension;
        }
    }
    result.rowWritten = writeRow(InFolder(folder, kBenchFileName), row);
    if (!result.rowWritten) {
        result.problem = L"the row cannot be added to " + InFolder(folder, kBenchFileName);
    }
    return result;
}

BenchRow MakeBenchRow(const std::wstring& unit, const TestPlan& plan, const PlanVerdict& verdict,
                      const LocalTimeFields& when) {
    BenchRow row;
    row.when = when;
    row.unit = unit;
    row.plan = plan.name;
    row.layout = plan.layout;
    row.passed = verdict.pass;
    row.tested = static_cast<std::uint32_t>(verdict.tested);
    row.required = static_cast<std::uint32_t>(verdict.required);
    row.faultyKeys = verdict.faultyKeys;
    // A key pressed fewer times than the plan asks is not tested to the plan.
    row.untestedKeys = verdict.untestedKeys;
    row.untestedKeys.insert(row.untestedKeys.end(), verdict.incompleteKeys.begin(),
                            verdict.incompleteKeys.end());
    row.chatterEvents = static_cast<std::uint32_t>(verdict.chatterEvents);
    row.rollover = static_cast<std::uint32_t>(verdict.rollover);
    row.overflow = static_cast<std::uint32_t>(verdict.overflows);
    row.durationSeconds = static_cast<std::uint32_t>((verdict.durationUs + 500000) / 1000000);
    return row;
}
