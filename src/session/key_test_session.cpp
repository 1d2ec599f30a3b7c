#include "session/key_test_session.h"

#include "base/diagnostic_log.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_fit.h"
#include "settings/app_settings.h"

#include <algorithm>
#include <map>
#include <utility>

KeyTestSession::KeyTestSession(SessionView& view, KeyNameTable& names, const RemapTable& remap,
                               KeyTestEngine::ThresholdSource threshold, KeySizeSource keySize)
    : view_(view), names_(names), keySizeSource_(std::move(keySize)),
      engine_(queue_, names, remap, *this, std::move(threshold)) {}

void KeyTestSession::SetDefaultLayout(std::wstring text, std::wstring name) {
    selector_.SetDefaultLayout(std::move(text), std::move(name));
}

bool KeyTestSession::SelectLayout(const std::wstring& path, std::wstring& lastLayout) {
    loadedEntry_ = -1;
    return selector_.SelectLayout(*this, path, lastLayout);
}

void KeyTestSession::Reload(std::wstring& lastLayout) {
    // A copy: the selection writes the value it reads.
    const std::wstring path = lastLayout;
    SelectLayout(path, lastLayout);
}

int KeyTestSession::CurrentKeySize() const {
    return keySizeSource_ ? keySizeSource_() : Settings().KeyDimensions;
}

bool KeyTestSession::LoadSource(int keySize, KeyboardLayout& layout, KeyNameTable& names,
                                LayoutLoadFailure* failure) const {
    return sourceIsFile_ ? LoadAnyLayoutFile(source_, keySize, layout, names, failure)
                         : ::LoadLayoutText(source_, keySize, layout, names);
}

bool KeyTestSession::LoadLayoutFile(const std::wstring& path) {
    source_ = path;
    sourceIsFile_ = true;
    keySize_ = CurrentKeySize();
    failure_ = {};
    return LoadSource(keySize_, layout_, names_, &failure_);
}

bool KeyTestSession::LoadLayoutString(const std::wstring& text) {
    source_ = text;
    sourceIsFile_ = false;
    keySize_ = CurrentKeySize();
    return LoadSource(keySize_, layout_, names_, nullptr);
}

bool KeyTestSession::FitWithin(int maxWidth, int maxHeight) {
    if (layout_.keys.empty() || (layout_.width <= maxWidth && layout_.height <= maxHeight)) {
        return false;
    }
    // The layout was read once; trial sizes only scale its key units.
    KeyboardLayout trial = layout_;
    const int fitted = FittingKeySize(keySize_, maxWidth, maxHeight, [&trial](int keySize) {
        ScaleLayout(trial, keySize);
        return PixelSize{trial.width, trial.height};
    });
    if (fitted >= keySize_) {
        return false;
    }
    LogMessage(L"Layout drawn with %d-pixel keys to fit the screen (KeyDimensions %d).\n", fitted,
               CurrentKeySize());
    ScaleLayout(layout_, fitted);
    keySize_ = fitted;
    return true;
}

bool KeyTestSession::RestoreKeySize() {
    const int configured = CurrentKeySize();
    if (layout_.keys.empty() || keySize_ == configured) {
        return false;
    }
    ScaleLayout(layout_, configured);
    keySize_ = configured;
    return true;
}

void KeyTestSession::ResetKeyStates() {
    // The figures of a test start afresh with its key states, and so does its recording: a
    // recorded test is what its report covers. The engine's timings and the decoder's state
    // carry over the load (a release just before Clear still counts for chatter); a replay of
    // the recording starts without them, so only a key held or released across the load
    // itself can come out differently there.
    layout_.ResetKeyStates();
    run_.Apply(layout_);
    engine_.ResetStatistics();
    recording_.clear();
    view_.DisplayCleared();
}

void KeyTestSession::SetStatusText(int textId, Colour colour) {
    status_.textId = textId;
    status_.colour = colour;
}

void KeyTestSession::ShowStatusCaption(bool visible) {
    status_.visible = visible;
    view_.StatusChanged(status_);
}

void KeyTestSession::ReportLoadFailure(const std::wstring& line) {
    if (reportLoadFailures_) {
        AppendLine(line.c_str(), true);
    }
}

void KeyTestSession::Feed(const RawKeyRecord& record, std::int64_t timeUs, bool background) {
    if (background && !decoder_.TakesBackgroundRecord(record)) {
        return;
    }
    KeepRecord(record, timeUs);
    if (decoder_.IsNewDevice(record)) {
        decoder_.SetCurrentDevice(record.device);
    }
    const DecodeResult result = decoder_.Decode(record, timeUs, queue_);
    if (result.message != KeyMessage::None) {
        HandleEvent(result.message, result.index);
    }
}

void KeyTestSession::HandleEvent(KeyMessage message, std::size_t index) {
    // Indices come from the page's own posts; anything else is not an event of ours.
    if (index >= queue_.size()) {
        return;
    }
    // A unit whose time ran out before this event ended at its deadline.
    if (run_.TimeRanOut(queue_[index].time)) {
        EndUnit(PlanEnd::TimeLimit, run_.DeadlineUs());
    }
    if (message == KeyMessage::Make) {
        engine_.OnKeyMake(index);
    } else {
        engine_.OnKeyBreak(index);
    }
    if (run_.HasPassed(engine_.Statistics().Rollover())) {
        EndUnit(PlanEnd::Passed, queue_[index].time);
    }
}

void KeyTestSession::SetPlan(TestPlan plan) {
    std::map<ScanCode, std::int64_t> keyThresholds;
    for (const auto& [code, rule] : plan.keys) {
        if (rule.thresholdUs) {
            keyThresholds.emplace(code, *rule.thresholdUs);
        }
    }
    engine_.SetThresholds(plan.thresholdUs.value_or(-1), std::move(keyThresholds));
    run_.SetPlan(std::move(plan));
    selector_.ClearKeyboardDisplay(*this);
}

void KeyTestSession::ClearPlan() {
    engine_.ClearThresholds();
    run_.ClearPlan();
    selector_.ClearKeyboardDisplay(*this);
}

void KeyTestSession::StartUnit(std::int64_t nowUs) {
    lines_.clear();
    selector_.ClearKeyboardDisplay(*this);
    run_.Start(nowUs);
}

PlanVerdict KeyTestSession::Finish(std::int64_t nowUs) {
    if (run_.Running()) {
        return EndUnit(PlanEnd::Finished, nowUs);
    }
    if (run_.LastVerdict() != nullptr) {
        return *run_.LastVerdict();
    }
    return run_.End(PlanEnd::Finished, nowUs, Figures(),
                    [this](const LayoutKey& key) { return KeyName(key); });
}

std::optional<PlanVerdict> KeyTestSession::CheckTimeLimit(std::int64_t nowUs) {
    if (!run_.TimeRanOut(nowUs)) {
        return std::nullopt;
    }
    return EndUnit(PlanEnd::TimeLimit, run_.DeadlineUs());
}

PlanVerdict KeyTestSession::EndUnit(PlanEnd end, std::int64_t atUs) {
    const PlanVerdict verdict =
        run_.End(end, atUs, Figures(), [this](const LayoutKey& key) { return KeyName(key); });
    view_.UnitEnded(verdict);
    return verdict;
}

UnitFigures KeyTestSession::Figures() const {
    const KeyStatistics& statistics = engine_.Statistics();
    return {statistics.Rollover(), statistics.Overflows(), statistics.OverflowAt(),
            statistics.ChatterEvents().size()};
}

std::wstring KeyTestSession::KeyName(const LayoutKey& key) const {
    if (!key.name.empty()) {
        return key.name;
    }
    const auto& entries = names_.Entries();
    const auto found = entries.find(key.scanCode);
    if (found != entries.end() && !found->second.empty()) {
        return found->second;
    }
    std::wstring label = PrintedLabel(key.label);
    std::replace(label.begin(), label.end(), L'\n', L' ');
    return label.empty() ? ScanCodeText(key.scanCode) : label;
}

void KeyTestSession::KeepRecord(const RawKeyRecord& record, std::int64_t timeUs) {
    recording_.push_back(TraceRecord{timeUs, record});
}

void KeyTestSession::ReleaseKeysMissedWhileAway(std::int64_t timeUs,
                                                const KeyTestEngine::KeyDownQuery& stillDown) {
    engine_.ReleaseKeysMissedWhileAway(timeUs, stillDown);
    // The decoder's own record of keys seen going down follows the engine's releases.
    decoder_.KeepDownOnly(engine_.Held());
    // The last key of a unit may have come up while the page was away.
    if (run_.HasPassed(engine_.Statistics().Rollover())) {
        EndUnit(PlanEnd::Passed, timeUs);
    }
}

void KeyTestSession::Restart() {
    engine_.ForgetAllKeys();
    queue_.clear();
    decoder_ = RawKeyDecoder();
    lines_.clear();
    selector_.ClearKeyboardDisplay(*this);
}

std::vector<SessionLogLine> KeyTestSession::TakeLogLines() {
    std::vector<SessionLogLine> taken;
    taken.swap(lines_);
    return taken;
}

std::vector<ReadoutPart> KeyTestSession::Readout() const {
    return ReadoutParts(Coverage(), engine_.Statistics().Rollover(),
                        engine_.Statistics().OverflowAt());
}

TestReport KeyTestSession::Report(const ReportContext& context) const {
    TestReport report = BuildTestReport(layout_, engine_.Statistics(), names_.Entries(), context);
    if (const TestPlan* plan = run_.Plan(); plan != nullptr) {
        // The last unit's verdict, or the keys judged as they stand.
        const PlanVerdict verdict =
            run_.LastVerdict() != nullptr
                ? *run_.LastVerdict()
                : run_.Judge(PlanEnd::Running, 0, Figures(),
                             [this](const LayoutKey& key) { return KeyName(key); });
        report.hasPlan = true;
        report.plan = {plan->name, verdict.pass, verdict.reasons, verdict.required, verdict.passed};
    }
    return report;
}

void KeyTestSession::SetFieldText(int control, const wchar_t* text) {
    view_.FieldChanged(control, text);
}

void KeyTestSession::AppendLine(const wchar_t* text, bool fault) {
    lines_.push_back({text, fault});
    view_.LogLinesReady();
}

void KeyTestSession::NotifyPressed(ScanCode code) {
    run_.OnPressed(code);
    ::NotifyPressed(layout_, this, code);
}

void KeyTestSession::NotifyReleased(ScanCode code) {
    ::NotifyReleased(layout_, this, code);
}

void KeyTestSession::NotifyFault(ScanCode code) {
    ::NotifyFault(layout_, this, code);
}

void KeyTestSession::RedrawKey(LayoutKey& key) {
    run_.OnKeyState(key);
    view_.KeyChanged(key);
}

void KeyTestSession::RefreshLockIndicator(LockKey lock) {
    view_.LampToRefresh(lock);
}

void KeyTestSession::SetLayoutStatus(int status) {
    // The engine only ever moves the status on after a key press; the selector takes that
    // step and shows the status line when the value changes.
    if (status != selector_.Status()) {
        selector_.OnKeyPress(*this);
    }
}
