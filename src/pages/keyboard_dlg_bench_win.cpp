// Bench mode on the keyboard test page: the strip above the keyboard, the plan, and the flow
// from one unit to the next. The decisions are BenchFlow's and the session's; this applies them.
#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "input/elapsed_clock.h"
#include "logging/log_saving.h"
#include "pages/keyboard_dlg_win.h"
#include "pages/report_context_win.h"
#include "report/bench_record.h"
#include "resources/resource.h"
#include "session/test_files.h"
#include "session/test_plan.h"
#include "settings/app_settings.h"
#include "settings/environment.h"

namespace {

LocalTimeFields LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::wstring Expanded(const std::wstring& text) {
    return ExpandEnvironmentReferences(text, &ProcessEnvironmentVariable);
}

} // namespace

void CKeyboardDlg::ApplyBenchSettings() {
    const AppSettings& settings = Settings();
    if (!settings.BenchEnabled) {
        if (benchPanel_.Shown()) {
            LeaveBenchMode();
        }
        return;
    }
    if (!benchPanel_.Shown()) {
        EnterBenchMode();
    }
    // A unit under test keeps its plan; otherwise the plan is read again, so that a plan
    // chosen anew or edited meanwhile applies to the next unit.
    if (!benchFlow_.Testing()) {
        LoadBenchPlan();
    }
    ShowBench();
    ::PostMessageW(Handle(), UWM_BENCH_FOCUS, 0, 0);
}

void CKeyboardDlg::EnterBenchMode() {
    LogMessage(L"CKeyboardDlg::EnterBenchMode\n");
    const int dpi = Dpi();
    benchPanel_.Create(Handle(), dpi);
    const PixelRect group = ChildRect(Handle(), controls_.keyboardGroup.Handle());
    controls_.MoveKeyboardAndLog(Handle(), keyboardView_.Handle(),
                                 BenchPanel::Height(dpi) + BenchPanel::Gap(dpi));
    benchPanel_.Place(group.left, group.top, group.Width(), dpi);
    benchPanel_.ShowFinish(false);
    benchPanel_.Show(true);
    ::SetTimer(Handle(), kBenchTimerId, kBenchTimerMs, nullptr);
    ::PostMessageW(::GetParent(Handle()), UWM_REFLOW_LAYOUT, 0, 0);
}

void CKeyboardDlg::LeaveBenchMode() {
    LogMessage(L"CKeyboardDlg::LeaveBenchMode\n");
    ::KillTimer(Handle(), kBenchTimerId);
    if (::GetFocus() == benchPanel_.UnitBoxHandle()) {
        ::SetFocus(Handle());
    }
    const int stripTop = benchPanel_.Top(Handle());
    benchPanel_.Show(false);
    const PixelRect group = ChildRect(Handle(), controls_.keyboardGroup.Handle());
    controls_.MoveKeyboardAndLog(Handle(), keyboardView_.Handle(), stripTop - group.top);
    session_.ClearPlan();
    benchFlow_ = BenchFlow();
    UpdateReadout();
    ::PostMessageW(::GetParent(Handle()), UWM_REFLOW_LAYOUT, 0, 0);
}

void CKeyboardDlg::LoadBenchPlan() {
    const AppSettings& settings = Settings();
    const std::wstring path = Expanded(settings.BenchPlan);
    TestPlan plan;
    std::wstring message;
    if (path.empty()) {
        session_.ClearPlan();
        benchFlow_.PlanFailed(L"");
        return;
    }
    if (!LoadTestPlanFile(path, plan, message)) {
        LogMessage(L"Test plan not read: %ls\n", message.c_str());
        session_.ClearPlan();
        benchFlow_.PlanFailed(message);
        return;
    }
    controls_.log.WriteQueuedLines();
    const std::wstring layout =
        ResolvePlanLayout(plan, path, Expanded(settings.LayoutFileDirectory));
    const bool loaded = session_.SelectLayout(layout, Settings().LastLayout);
    AfterLayoutSelection();
    if (!loaded) {
        session_.ClearPlan();
        benchFlow_.PlanFailed(L"The plan's layout " + plan.layout + L" cannot be loaded.");
        return;
    }
    session_.SetPlan(std::move(plan));
    benchFlow_.PlanReady();
    UpdateReadout();
}

void CKeyboardDlg::OnUnitEntered() {
    if (!benchFlow_.Start(benchPanel_.UnitText())) {
        ShowBench();
        return;
    }
    benchPanel_.ClearUnitText();
    LogMessage(L"CKeyboardDlg::OnUnitEntered \"%ls\"\n", benchFlow_.Unit().c_str());
    controls_.log.WriteQueuedLines();
    session_.StartUnit(ElapsedMicroseconds());
    UpdateReadout();
    benchPanel_.ShowFinish(true);
    ShowBench();
    // Off the box, raw input is on again: the next keys are the unit's.
    ::SetFocus(Handle());
}

void CKeyboardDlg::OnClick_Finish() {
    if (benchFlow_.Testing()) {
        session_.Finish(ElapsedMicroseconds()); // UnitEnded follows
    }
    FocusUnitBoxWhenIdle();
}

void CKeyboardDlg::OnBenchTimer() {
    if (benchFlow_.Testing()) {
        session_.CheckTimeLimit(ElapsedMicroseconds()); // UnitEnded when it ran out
    }
    ShowBench();
}

void CKeyboardDlg::UnitEnded(const PlanVerdict& verdict) {
    if (!benchFlow_.End(verdict)) {
        return;
    }
    ::MessageBeep(verdict.pass ? MB_OK : MB_ICONHAND);
    SaveUnitFiles(verdict);
    benchPanel_.ShowFinish(false);
    ShowBench();
    // After the event that ended the unit has been handled.
    ::PostMessageW(Handle(), UWM_BENCH_FOCUS, 0, 0);
}

void CKeyboardDlg::SaveUnitFiles(const PlanVerdict& verdict) {
    controls_.log.WriteQueuedLines();
    const LocalTimeFields when = LocalNow();
    const TestPlan* plan = session_.Plan();
    const BenchRow row =
        MakeBenchRow(benchFlow_.Unit(), plan != nullptr ? *plan : TestPlan(), verdict, when);
    // The same four files as the Report button writes.
    std::vector<std::string> contents = RecordedTestFiles(
        session_, PageReportContext(Handle(), Layout().name), controls_.log.Text());
    std::vector<BenchFile> files;
    for (std::size_t i = 0; i < contents.size() && i < kReportFileCount; ++i) {
        files.push_back({kReportFileExtensions[i], std::move(contents[i])});
    }
    const BenchSaveResult result =
        SaveBenchUnit(logFiles_, Expanded(BenchOutputFolder(Settings())), benchFlow_.Unit(), when,
                      files, row, &AppendBenchRow);
    if (result.saved) {
        benchFlow_.Saved(result.baseName);
    }
    if (!result.problem.empty()) {
        LogMessage(L"Bench files of \"%ls\" not saved: %ls\n", benchFlow_.Unit().c_str(),
                   result.problem.c_str());
        benchFlow_.NotSaved(result.problem);
    }
}

void CKeyboardDlg::ShowBench() {
    if (!benchPanel_.Shown()) {
        return;
    }
    const PlanProgress progress = session_.Progress(ElapsedMicroseconds());
    benchPanel_.ShowBanner(benchFlow_.Banner(progress));
    benchPanel_.ShowTimeLeft(TimeLeftText(progress));
}

void CKeyboardDlg::FocusUnitBoxWhenIdle() {
    if (benchPanel_.Shown() && !benchFlow_.Testing()) {
        benchPanel_.FocusUnitBox();
    }
}
