// Writing the test report after a long test: the 104-key built-in layout, 100,000 key events
// through the key test engine (every key pressed many times, one press in 50 chattering), then
// the report model, the HTML page and the CSV, in memory and as files.
#include "base/diagnostic_log.h"
#include "input/key_states.h"
#include "input/key_test_engine.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "logging/std_log_files.h"
#include "report/report_model.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

class StatePage final : public KeyTestPage {
public:
    explicit StatePage(KeyboardLayout& layout) : layout_(layout) {}
    void SetFieldText(int, const wchar_t*) override {}
    void AppendLine(const wchar_t*, bool) override {}
    void NotifyPressed(ScanCode code) override { ::NotifyPressed(layout_, nullptr, code); }
    void NotifyReleased(ScanCode code) override { ::NotifyReleased(layout_, nullptr, code); }
    void NotifyFault(ScanCode code) override { ::NotifyFault(layout_, nullptr, code); }
    void RefreshLockIndicator(LockKey) override {}
    int GetLayoutStatus() const override { return 3; }
    void SetLayoutStatus(int) override {}
    void UpdateLayoutStatus() override {}

private:
    KeyboardLayout& layout_;
};

struct TestedBoard {
    KeyboardLayout layout;
    KeyNameTable names;
    RemapTable remap;
    KeyEventQueue queue;
    std::unique_ptr<StatePage> page;
    std::unique_ptr<KeyTestEngine> engine;
};

std::unique_ptr<TestedBoard> TestBoard(std::size_t events) {
    auto board = std::make_unique<TestedBoard>();
    if (!LoadLayoutText(DefaultLayoutText(), 36, board->layout, board->names)) {
        return nullptr;
    }
    board->page = std::make_unique<StatePage>(board->layout);
    board->engine = std::make_unique<KeyTestEngine>(board->queue, board->names, board->remap,
                                                    *board->page, [] { return std::uint32_t{8}; });
    std::vector<ScanCode> codes;
    for (const LayoutKey& key : board->layout.keys) {
        codes.push_back(key.scanCode);
    }
    std::int64_t time = 1000000; // microseconds
    std::size_t next = 0;
    ScanCode code = 0;
    for (std::size_t pair = 0; pair < events / 2; ++pair) {
        // One press in 50 is the previous key again, 3 ms after its release: chatter.
        const bool chatter = pair % 50 == 49;
        if (!chatter) {
            code = codes[next++ % codes.size()];
        }
        const std::uint16_t make = code & 0xFF;
        const std::uint16_t flags = (code >> 8) == 0xE0   ? kRawFlagE0
                                    : (code >> 8) == 0xE1 ? kRawFlagE1
                                                          : 0;
        time += chatter ? 3000 : 40000;
        board->queue.push_back(KeyEvent{make, flags, 0x41, time});
        board->engine->OnKeyMake(board->queue.size() - 1);
        time += 60000 + static_cast<std::int64_t>(pair % 7) * 10000;
        board->queue.push_back(
            KeyEvent{make, static_cast<std::uint16_t>(flags | kRawFlagBreak), 0x41, time});
        board->engine->OnKeyBreak(board->queue.size() - 1);
    }
    return board;
}

ReportContext Context(const TestedBoard& board) {
    ReportContext context;
    context.layoutName = board.layout.name;
    context.interfaceText = L"USB";
    context.deviceText = L"USB ID:  003";
    context.inputLanguage = L"0409 (English)";
    context.dateTime = L"2026-12-07 13:45:06";
    context.programVersion = L"1.0.2.2910";
    context.clockNow = board.queue.back().time;
    context.timeOfDayNow = 13 * 3600000;
    return context;
}

void BM_ReportInMemory(benchmark::State& state) {
    InstallLogger(std::make_unique<NullLogger>());
    const auto board = TestBoard(100000);
    if (!board) {
        state.SkipWithError("default layout did not load");
        return;
    }
    const ReportContext context = Context(*board);
    for (auto _ : state) {
        const TestReport report = BuildTestReport(board->layout, board->engine->Statistics(),
                                                  board->names.Entries(), context);
        std::string html = WriteReportHtml(report);
        std::string csv = WriteReportCsv(report);
        benchmark::DoNotOptimize(html.data());
        benchmark::DoNotOptimize(csv.data());
    }
    const TestReport report = BuildTestReport(board->layout, board->engine->Statistics(),
                                              board->names.Entries(), context);
    state.counters["chatter_events"] = static_cast<double>(report.chatterEvents.size());
    state.counters["html_bytes"] = static_cast<double>(WriteReportHtml(report).size());
    state.counters["tested"] = static_cast<double>(report.coverage.tested);
}
BENCHMARK(BM_ReportInMemory)->Unit(benchmark::kMillisecond);

// As the Report button does it: both files through temporary files renamed into place.
void BM_ReportToFiles(benchmark::State& state) {
    InstallLogger(std::make_unique<NullLogger>());
    const auto board = TestBoard(100000);
    if (!board) {
        state.SkipWithError("default layout did not load");
        return;
    }
    const ReportContext context = Context(*board);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "tapwise-bench-report";
    std::filesystem::create_directories(folder);
    const std::wstring html = (folder / "Board00001.html").wstring();
    const std::wstring csv = (folder / "Board00001.csv").wstring();
    StdLogFiles files;
    for (auto _ : state) {
        const TestReport report = BuildTestReport(board->layout, board->engine->Statistics(),
                                                  board->names.Entries(), context);
        if (!WriteFilesWhole(files, {FileContent{html, WriteReportHtml(report)},
                                     FileContent{csv, WriteReportCsv(report)}})) {
            state.SkipWithError("report files could not be written");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReportToFiles)->Unit(benchmark::kMillisecond);

// The HTML page alone with a timing chart of 100,000 holds and 100,000 intervals, spread as
// the board's events are: the samples are binned, and only the bins reach the page.
void BM_ReportHtmlWithTimingChart(benchmark::State& state) {
    InstallLogger(std::make_unique<NullLogger>());
    const auto board = TestBoard(100000);
    if (!board) {
        state.SkipWithError("default layout did not load");
        return;
    }
    TestReport report = BuildTestReport(board->layout, board->engine->Statistics(),
                                        board->names.Entries(), Context(*board));
    report.timing.holds.clear();
    report.timing.gaps.clear();
    for (std::int64_t i = 0; i < 100000; ++i) {
        report.timing.holds.push_back(60'000 + (i % 7) * 10'000 + i % 997);
        report.timing.gaps.push_back(i % 50 == 49 ? 3'000 : 40'000 + i % 4'999);
    }
    for (auto _ : state) {
        std::string html = WriteReportHtml(report);
        benchmark::DoNotOptimize(html.data());
    }
    state.counters["html_bytes"] = static_cast<double>(WriteReportHtml(report).size());
}
BENCHMARK(BM_ReportHtmlWithTimingChart)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
