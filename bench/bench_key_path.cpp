// One raw keyboard record to its handled event: decoding, the key test engine with its
// per-key statistics and the key state machine, with a page that discards what it is given.
#include "base/diagnostic_log.h"
#include "input/key_states.h"
#include "input/key_test_engine.h"
#include "input/raw_decoder.h"
#include "input/remap_table.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "report/report_model.h"
#include "session/key_test_session.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class DiscardingPage final : public KeyTestPage, public KeyView {
public:
    explicit DiscardingPage(KeyboardLayout& layout) : layout_(layout) {}
    void SetFieldText(int, const wchar_t* text) override { benchmark::DoNotOptimize(text); }
    void AppendLine(const wchar_t* text, bool) override { benchmark::DoNotOptimize(text); }
    void NotifyPressed(ScanCode code) override { ::NotifyPressed(layout_, this, code); }
    void NotifyReleased(ScanCode code) override { ::NotifyReleased(layout_, this, code); }
    void NotifyFault(ScanCode code) override { ::NotifyFault(layout_, this, code); }
    void RefreshLockIndicator(LockKey) override {}
    int GetLayoutStatus() const override { return status_; }
    void SetLayoutStatus(int status) override { status_ = status; }
    void UpdateLayoutStatus() override {}
    void RedrawKey(LayoutKey& key) override { benchmark::DoNotOptimize(&key); }

private:
    KeyboardLayout& layout_;
    int status_ = 2;
};

// Typing with both hands: two keys overlap, an E0 key with its fake shift, a fast
// re-press that counts as chatter.
std::vector<RawKeyRecord> TypingRecords() {
    struct Key {
        std::uint16_t make;
        std::uint16_t flags;
        std::uint16_t vkey;
    };
    const Key keys[] = {{0x1E, 0, 0x41}, {0x1F, 0, 0x53}, {0x20, 0, 0x44}, {0x39, 0, 0x20},
                        {0x48, 2, 0x26}, {0x2A, 0, 0x10}, {0x10, 0, 0x51}, {0x1C, 0, 0x0D}};
    std::vector<RawKeyRecord> records;
    for (const Key& key : keys) {
        records.push_back({key.make, key.flags, key.vkey, 1});
        records.push_back({key.make, static_cast<std::uint16_t>(key.flags | 1), key.vkey, 1});
    }
    records.push_back({0x2A, 2, 0xFF, 1}); // fake shift of Print Screen: dropped
    records.push_back({0x37, 2, 0x2C, 1});
    records.push_back({0x37, 3, 0x2C, 1});
    return records;
}

// withReadout: the page's live readout after each event as well (tested, faulty, rollover of
// the whole layout).
void RawRecordToHandledEvent(benchmark::State& state, bool withReadout) {
    InstallLogger(std::make_unique<NullLogger>());
    KeyboardLayout layout;
    KeyNameTable names;
    if (!LoadLayoutText(DefaultLayoutText(), 36, layout, names)) {
        state.SkipWithError("default layout did not load");
        return;
    }
    DiscardingPage page(layout);
    RemapTable remap;
    KeyEventQueue queue;
    queue.reserve(1 << 20);
    RawKeyDecoder decoder;
    KeyTestEngine engine(queue, names, remap, page, [] { return std::uint32_t{8}; });
    const std::vector<RawKeyRecord> records = TypingRecords();
    std::size_t next = 0;
    std::int64_t time = 0;
    for (auto _ : state) {
        const RawKeyRecord& record = records[next];
        next = next + 1 == records.size() ? 0 : next + 1;
        time += 3000; // some re-presses fall inside the threshold
        if (decoder.IsNewDevice(record)) {
            decoder.SetCurrentDevice(record.device);
        }
        const DecodeResult result = decoder.Decode(record, time, queue);
        if (result.message == KeyMessage::Make) {
            engine.OnKeyMake(result.index);
        } else if (result.message == KeyMessage::Break) {
            engine.OnKeyBreak(result.index);
        }
        if (withReadout && result.message != KeyMessage::None) {
            const TestCoverage coverage = CountCoverage(layout);
            benchmark::DoNotOptimize(coverage);
            benchmark::DoNotOptimize(engine.Statistics().Rollover());
        }
        // The program's queue grows for the page's life; here it is bounded to keep the
        // benchmark's memory flat (clearing a vector of plain records costs nothing).
        if (queue.size() == queue.capacity()) {
            queue.clear();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RawRecordToHandledEvent(benchmark::State& state) {
    RawRecordToHandledEvent(state, false);
}
BENCHMARK(BM_RawRecordToHandledEvent);

void BM_RawRecordToHandledEventWithReadout(benchmark::State& state) {
    RawRecordToHandledEvent(state, true);
}
BENCHMARK(BM_RawRecordToHandledEventWithReadout);

// The session's view as the page is one: it takes the log lines as they come.
class TakingView final : public SessionView {
public:
    void FieldChanged(int, const wchar_t* text) override { benchmark::DoNotOptimize(text); }
    void KeyChanged(const LayoutKey& key) override { benchmark::DoNotOptimize(&key); }
    void LampToRefresh(LockKey) override {}
    void StatusChanged(const LayoutStatusDisplay&) override {}
    void DisplayCleared() override {}
    void LogLinesReady() override { benchmark::DoNotOptimize(session->TakeLogLines()); }

    KeyTestSession* session = nullptr;
};

// The same typing through the whole session, as the page and tapwise-cli replay drive it;
// withPlan: a test plan judges every event (its unit never completes, so every event is
// followed; one key has a threshold of its own).
void SessionFeed(benchmark::State& state, bool withPlan) {
    InstallLogger(std::make_unique<NullLogger>());
    KeyNameTable names;
    RemapTable remap;
    TakingView view;
    KeyTestSession session(
        view, names, remap, [] { return std::uint32_t{8}; }, [] { return 36; });
    view.session = &session;
    session.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI");
    std::wstring lastLayout;
    if (!session.SelectLayout(kDefaultLayoutMarker, lastLayout)) {
        state.SkipWithError("default layout did not load");
        return;
    }
    if (withPlan) {
        TestPlan plan;
        PlanError error;
        if (!ParseTestPlan(R"({"layout": "default", "presses": 1000, "skip": ["0xE05D"],
                               "keys": {"0x0039": {"threshold_ms": 20}},
                               "time_limit_s": 86400, "min_rollover": 6})",
                           plan, error)) {
            state.SkipWithError("plan did not parse");
            return;
        }
        session.SetPlan(std::move(plan));
        session.StartUnit(0);
    }
    session.Events().reserve(1 << 20);
    const std::vector<RawKeyRecord> records = TypingRecords();
    std::size_t next = 0;
    std::int64_t time = 0;
    for (auto _ : state) {
        const RawKeyRecord& record = records[next];
        next = next + 1 == records.size() ? 0 : next + 1;
        time += 3000;
        session.Feed(record, time);
        if (session.Events().size() == session.Events().capacity()) {
            session.Events().clear();
        }
        if (withPlan && !session.UnitRunning()) {
            session.StartUnit(time); // after a day of events, the time limit
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SessionFeed(benchmark::State& state) {
    SessionFeed(state, false);
}
BENCHMARK(BM_SessionFeed);

void BM_SessionFeedWithPlan(benchmark::State& state) {
    SessionFeed(state, true);
}
BENCHMARK(BM_SessionFeedWithPlan);

} // namespace

BENCHMARK_MAIN();
