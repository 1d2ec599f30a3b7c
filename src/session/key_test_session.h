#pragma once
// KeyTestSession: one keyboard test. It owns the decoding state and the event queue, the key
// test engine with its timings, held keys and statistics, the active layout with its key
// states, the layout selection with its status, and the event log lines not yet shown. The
// keyboard test page and tapwise-cli replay both drive it; what it changes reaches them
// through SessionView.
#include "input/key_states.h"
#include "input/key_test_engine.h"
#include "input/raw_decoder.h"
#include "input/remap_table.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "layouts/layout_selection.h"
#include "logging/status_label.h"
#include "report/readout.h"
#include "report/report_model.h"
#include "session/plan_verdict.h"
#include "session/session_view.h"
#include "session/test_plan.h"
#include "session/trace_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct SessionLogLine {
    std::wstring text;
    bool fault = false; // shown in red
};

class KeyTestSession final : private KeyTestPage,
                             private KeyView,
                             private LayoutPage,
                             private StatusLabel {
public:
    // Read at every load: pixels per key unit. Without one the KeyDimensions setting is read.
    using KeySizeSource = std::function<int()>;

    // names is rebuilt at every layout load (the program passes the process-wide table).
    // Without a threshold source the engine reads the ChatterThreshold setting.
    KeyTestSession(SessionView& view, KeyNameTable& names, const RemapTable& remap,
                   KeyTestEngine::ThresholdSource threshold = {}, KeySizeSource keySize = {});
    KeyTestSession(const KeyTestSession&) = delete;
    KeyTestSession& operator=(const KeyTestSession&) = delete;

    // --- Layouts
    void SetDefaultLayout(std::wstring text, std::wstring name);
    LayoutSelector& Selector() { return selector_; }
    const LayoutSelector& Selector() const { return selector_; }
    // Whether a layout file that cannot be loaded is explained by a red line in the event log.
    void ReportLoadFailures(bool report) { reportLoadFailures_ = report; }
    // Loads the layout at path (the built-in one for the default marker), falling back to the
    // built-in layout; then every key untested, the display cleared and the status moved on.
    // lastLayout receives what was loaded. true only when the requested layout was loaded.
    bool SelectLayout(const std::wstring& path, std::wstring& lastLayout);
    // Clear / Reload: the layout in lastLayout loaded again, the test begun afresh.
    void Reload(std::wstring& lastLayout);
    // The library entry of the layout the last selection loaded; -1 when it has none.
    int LoadedEntry() const { return loadedEntry_; }
    // A layout whose picture is larger than maxWidth x maxHeight is scaled to the largest key
    // size (not below 10) at which it fits; the keys keep their states. True when the picture
    // changed size.
    bool FitWithin(int maxWidth, int maxHeight);
    // A fitted layout back at the configured key size (the screen may have room again); the
    // keys keep their states. True when the picture changed size.
    bool RestoreKeySize();
    int KeySize() const { return keySize_; }
    const KeyboardLayout& Layout() const { return layout_; }
    KeyboardLayout& Layout() { return layout_; }
    int Status() const { return selector_.Status(); }

    // --- Key input
    KeyEventQueue& Events() { return queue_; }
    const KeyEventQueue& Events() const { return queue_; }
    RawKeyDecoder& Decoder() { return decoder_; }
    // Decodes one record that arrived at timeUs (microseconds) and handles the event it
    // queues, if any. A background record (another window had the foreground) is taken only
    // when the page would take it; a record taken is kept (KeepRecord).
    void Feed(const RawKeyRecord& record, std::int64_t timeUs, bool background = false);
    // Keeps a record the page's raw input reader decoded itself, whether or not it became an
    // event (the artefacts of a sequence are kept, so a replay decodes them the same way).
    // Background records the privacy rule refused must never reach it.
    void KeepRecord(const RawKeyRecord& record, std::int64_t timeUs);
    // Every record kept since the last layout load (Clear / Reload and a layout choice start
    // a new test) or Restart, in the order they arrived: the test a report covers.
    const std::vector<TraceRecord>& Recording() const { return recording_; }
    // Where the layout of the test came from: its file, or empty for the built-in layout.
    std::wstring LayoutFile() const { return sourceIsFile_ ? source_ : std::wstring(); }
    // The events at index of the queue, decoded elsewhere (the page's raw input reader).
    void OnKeyMake(std::size_t index) { HandleEvent(KeyMessage::Make, index); }
    void OnKeyBreak(std::size_t index) { HandleEvent(KeyMessage::Break, index); }
    // Keys whose release could not be seen are released at timeUs (see KeyTestEngine).
    void ReleaseKeysMissedWhileAway(std::int64_t timeUs,
                                    const KeyTestEngine::KeyDownQuery& stillDown);
    // Back to the moment the last layout selection ended: every key untested, no event seen,
    // no line waiting, the status as the selection left it.
    void Restart();
    const KeyTestEngine& Engine() const { return engine_; }

    // --- A test plan, unit after unit (times in microseconds of the key-event clock)
    // The plan's rules from now on, the test begun afresh: its skipped keys drawn as skipped
    // (after every layout load and Clear / Reload too), its thresholds in the chatter rule.
    // The layout it names is the caller's to select. A running unit ends without a verdict.
    void SetPlan(TestPlan plan);
    // Back to a test without a plan, begun afresh.
    void ClearPlan();
    const TestPlan* Plan() const { return run_.Plan(); }
    // A new unit: every key untested (the skipped ones skipped), the figures and the event log
    // emptied, the unit's clock started at nowUs. Without a plan nothing is judged.
    void StartUnit(std::int64_t nowUs);
    bool UnitRunning() const { return run_.Running(); }
    PlanProgress Progress(std::int64_t nowUs) const { return run_.Progress(nowUs); }
    // The operator ends the unit: its verdict, also told to the view. With no unit running,
    // the last unit's verdict (or, before any, the keys judged as they stand).
    PlanVerdict Finish(std::int64_t nowUs);
    // The unit ends with its verdict when the plan's time limit ran out by nowUs; an event
    // that arrives after the limit ends the unit itself before it counts.
    std::optional<PlanVerdict> CheckTimeLimit(std::int64_t nowUs);
    // The verdict of the last unit that ended; null before the first and while one runs.
    const PlanVerdict* LastVerdict() const { return run_.LastVerdict(); }

    // --- What the test shows
    // The waiting event log lines, in order; none wait afterwards.
    std::vector<SessionLogLine> TakeLogLines();
    TestCoverage Coverage() const { return CountCoverage(layout_); }
    // The page's live readout: tested, faulty and rollover.
    std::vector<ReadoutPart> Readout() const;
    TestReport Report(const ReportContext& context) const;

private:
    void HandleEvent(KeyMessage message, std::size_t index);
    PlanVerdict EndUnit(PlanEnd end, std::int64_t atUs);
    UnitFigures Figures() const;
    // How a verdict names a key: its layout name, the key-name table's, its label, its code.
    std::wstring KeyName(const LayoutKey& key) const;

    // KeyTestPage
    void SetFieldText(int control, const wchar_t* text) override;
    void AppendLine(const wchar_t* text, bool fault) override;
    void NotifyPressed(ScanCode code) override;
    void NotifyReleased(ScanCode code) override;
    void NotifyFault(ScanCode code) override;
    void RefreshLockIndicator(LockKey lock) override;
    int GetLayoutStatus() const override { return selector_.Status(); }
    void SetLayoutStatus(int status) override;
    // The selector shows the status whenever it moves it on.
    void UpdateLayoutStatus() override {}
    // KeyView
    void RedrawKey(LayoutKey& key) override;
    // LayoutPage
    bool LoadLayoutFile(const std::wstring& path) override;
    bool LoadLayoutString(const std::wstring& text) override;
    void ResetKeyStates() override;
    void EmptyEventLog() override {}
    void HideLogStatus() override {}
    void ClearLastKeyFields() override {}
    StatusLabel& LayoutStatusText() override { return *this; }
    void ShowStatusCaption(bool visible) override;
    void PostLayoutChanged() override {}
    void HighlightLayoutEntry(int index) override { loadedEntry_ = index; }
    void FocusPage() override {}
    const LayoutLoadFailure* LastLoadFailure() const override { return &failure_; }
    void ReportLoadFailure(const std::wstring& line) override;
    // StatusLabel: the text is shown with the caption.
    void SetStatusText(int textId, Colour colour) override;
    void Show(bool) override {}

    bool LoadSource(int keySize, KeyboardLayout& layout, KeyNameTable& names,
                    LayoutLoadFailure* failure) const;
    int CurrentKeySize() const;

    SessionView& view_;
    KeyNameTable& names_;
    KeySizeSource keySizeSource_;
    KeyboardLayout layout_;
    LayoutSelector selector_;
    KeyEventQueue queue_;
    RawKeyDecoder decoder_;
    KeyTestEngine engine_;
    std::vector<SessionLogLine> lines_;
    std::vector<TraceRecord> recording_;
    LayoutStatusDisplay status_;
    LayoutLoadFailure failure_;
    // Where the layout came from.
    std::wstring source_;
    bool sourceIsFile_ = false;
    int keySize_ = 0;
    int loadedEntry_ = -1;
    bool reportLoadFailures_ = true;
    PlanRun run_;
};
