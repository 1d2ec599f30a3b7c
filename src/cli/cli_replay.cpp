// tapwise-cli replay: runs recorded raw keyboard records through the program's decoding, key
// test engine and key state machine, and prints every effect the page would show.
#include "cli/cli_commands.h"
#include "cli/cli_files.h"
#include "cli/cli_report.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_file_load.h"
#include "session/key_test_session.h"
#include "session/replay_trace.h"
#include "session/test_plan.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const CommandHelp kReplayHelp = {
    "replay",
    "[options] (--default | --layout FILE) TRACE\n[options] --plan FILE [--default | --layout "
    "FILE] TRACE",
    "replay recorded raw keyboard records through the key test",
    "Replays raw keyboard records through decoding, the key test engine and the key states,\n"
    "starting as the page does after a layout selection, and prints every effect the page\n"
    "would show.",
    "TRACE: one record per line, TIME MAKE FLAGS VKEY [DEVICE], decimal or 0x-hex;\n"
    "  TIME is the clock in milliseconds when the record arrived, with up to three\n"
    "  decimals (1234.567), DEVICE an opaque handle (default 1);\n"
    "  '#' starts a comment, blank lines are skipped.\n"
    "Output, one line per effect, in order:\n"
    "  status: <status text>      log: <line>      fault: <line shown in red>\n"
    "  held: \"<held keys>\"        lamp: Caps Lock | Num Lock | Scroll Lock\n"
    "  field: <control id> \"<text>\"   (only with --fields)\n"
    "then one line per key that is not untested, in layout order:\n"
    "  state: 0x<code> <state 1-5> \"<key name>\"   (5: skipped by the plan)\n"
    "and with --summary or --plan one more line:\n"
    "  summary: keys M tested T untested U faulty F chatter C extra E rollover R\n"
    "With --plan the unit's test starts at the first record and is finished at the last\n"
    "(unless it passed or ran out of time before); then its verdict and one line per cause\n"
    "of a FAIL:\n"
    "  verdict: PASS | FAIL\n"
    "  reason: <cause>   (\"A, Space untested\", \"rollover 4 below 6\", ...)\n"
    "The plan's layout is replayed unless --default or --layout names another; a bare file\n"
    "name in the plan is looked for beside the plan.\n"
    "--report and --csv name two different files, neither of them an input of the replay.\n"
    "Exit status: 0 after a complete replay; 1 when a report file could not be written\n"
    "(nothing half-written is left); 2 for a usage error, an unreadable file, a malformed\n"
    "trace line (\"line N: ...\" on standard error), a bad plan or a plan's layout that\n"
    "cannot be loaded (the reason on standard error). A FAIL verdict is exit status 0.",
};

// What the command line gives the replay.
struct ReplayOptions {
    long long threshold = 8;
    int keySize = 36;
    std::string mapFile;
    bool haveMap = false;
    bool fields = false;
    bool trace = false;
    bool useDefault = false;
    std::string layoutFile;
    std::string traceFile;
    bool summary = false;
    std::string reportFile;
    std::string csvFile;
    std::string planFile;
};

// Whether the layout a plan names loads; message gives the reason when not.
bool CanLoadPlanLayout(const std::wstring& path, int keySize, std::wstring& message) {
    if (path == kDefaultLayoutMarker) {
        return true;
    }
    KeyboardLayout layout;
    KeyNameTable names;
    LayoutLoadFailure failure;
    if (LoadAnyLayoutFile(path, keySize, layout, names, &failure)) {
        return true;
    }
    message = L"the plan's layout: " + LayoutFailureLine(path, failure);
    return false;
}

// "verdict: PASS" or "verdict: FAIL", then "reason: <cause>" for each cause.
std::string VerdictLines(const PlanVerdict& verdict) {
    std::string lines = verdict.pass ? "verdict: PASS\n" : "verdict: FAIL\n";
    for (const std::wstring& reason : verdict.reasons) {
        lines += "reason: " + EncodeUtf8(reason) + "\n";
    }
    return lines;
}

void Flush(RecordingView& view) {
    const std::string output = view.TakeOutput();
    std::fwrite(output.data(), 1, output.size(), stdout);
}

int RunReplay(const ReplayOptions& options) {
    // The run reads each option under its own name.
    const auto& [threshold, keySize, mapFile, haveMap, fields, trace, useDefault, layoutFile,
                 traceFile, summary, reportFile, csvFile, planFile] = options;

    std::string text;
    if (!ReadArgumentBytes(traceFile, text)) {
        std::fprintf(stderr, "tapwise-cli replay: cannot read '%s'\n", traceFile.c_str());
        return 2;
    }
    std::vector<TraceRecord> records;
    std::string error;
    if (!ParseTrace(text, records, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::string mapBytes;
    if (haveMap && !ReadArgumentBytes(mapFile, mapBytes)) {
        std::fprintf(stderr, "tapwise-cli replay: cannot read '%s'\n", mapFile.c_str());
        return 2;
    }
    const bool havePlan = !planFile.empty();
    TestPlan plan;
    std::wstring layoutPath =
        useDefault ? std::wstring(kDefaultLayoutMarker) : ArgumentToWide(layoutFile);
    if (havePlan) {
        std::wstring message;
        if (!LoadTestPlanFile(ArgumentToWide(planFile), plan, message)) {
            std::fprintf(stderr, "tapwise-cli replay: %s\n", EncodeUtf8(message).c_str());
            return 2;
        }
        if (!useDefault && layoutFile.empty()) {
            // A verdict on the built-in layout instead of the plan's would judge other keys.
            layoutPath = ResolvePlanLayout(plan, ArgumentToWide(planFile), std::wstring());
            if (!CanLoadPlanLayout(layoutPath, keySize, message)) {
                std::fprintf(stderr, "tapwise-cli replay: %s\n", EncodeUtf8(message).c_str());
                return 2;
            }
        }
    }

    std::unique_ptr<Logger> previous = trace ? InstallLogger(std::make_unique<StreamLogger>(stderr))
                                             : InstallLogger(std::make_unique<NullLogger>());
    RemapTable remap;
    if (haveMap) {
        remap.ReadScancodeMap(reinterpret_cast<const std::uint8_t*>(mapBytes.data()),
                              mapBytes.size());
    }
    const auto usedThreshold = static_cast<std::uint32_t>(threshold);
    RecordingView view(fields);
    KeyTestSession session(
        view, KeyNames(), remap, [usedThreshold] { return usedThreshold; },
        [size = static_cast<int>(keySize)] { return size; });
    view.Attach(session);
    // The replay's output has no line for a layout that failed; its status line says so.
    session.ReportLoadFailures(false);
    session.SetDefaultLayout(DefaultLayoutText(), std::wstring());
    const std::int64_t startUs = records.empty() ? 0 : records.front().time;
    const std::int64_t endUs = records.empty() ? 0 : records.back().time;
    if (havePlan) {
        session.SetPlan(plan);
    }
    std::wstring lastLayout;
    session.SelectLayout(layoutPath, lastLayout);
    if (havePlan) {
        // The unit's start clears the display the selection has just cleared: one status
        // line is enough.
        Flush(view);
        session.StartUnit(startUs);
        view.Clear();
    }
    for (const TraceRecord& record : records) {
        session.Feed(record.record, record.time);
        if (view.Output().size() >= (1u << 16)) {
            Flush(view);
        }
    }
    view.WriteKeyStates(session.Layout());
    Flush(view);
    int status = 0;
    if (havePlan) {
        // A unit still running when the trace ends is finished there, as an operator would.
        if (!session.CheckTimeLimit(endUs)) {
            session.Finish(endUs);
        }
    }
    if (summary || havePlan || !reportFile.empty() || !csvFile.empty()) {
        const std::int64_t clockNow = endUs;
        const std::uint32_t shownThreshold =
            havePlan && plan.thresholdUs ? static_cast<std::uint32_t>(*plan.thresholdUs / 1000)
                                         : usedThreshold;
        const TestReport report = session.Report(ReplayReportContext(
            session.Layout().name, shownThreshold, ArgumentToWide(traceFile), clockNow));
        if (summary || havePlan) {
            std::string line = SummaryLine(report);
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
        if (havePlan && session.LastVerdict() != nullptr) {
            const std::string lines = VerdictLines(*session.LastVerdict());
            std::fwrite(lines.data(), 1, lines.size(), stdout);
        }
        if (!WriteReportFiles(report, reportFile, csvFile)) {
            status = 1;
        }
    }
    std::fflush(stdout);
    InstallLogger(std::move(previous));
    return status;
}

// Report files must not overwrite each other or an input of the replay.
void CheckReportFiles(const ReplayOptions& options) {
    if (SameFile(options.reportFile, options.csvFile)) {
        UsageError("--report and --csv name the same file '" + options.csvFile +
                   "'; give two different files");
    }
    for (const auto& [name, output] :
         {std::pair{"--report", &options.reportFile}, std::pair{"--csv", &options.csvFile}}) {
        for (const std::string* input :
             {&options.traceFile, &options.layoutFile, &options.mapFile, &options.planFile}) {
            if (SameFile(*output, *input)) {
                UsageError(std::string(name) + " would overwrite the input file '" + *input + "'");
            }
        }
    }
}

} // namespace

CliCommand AddReplayCommand(CLI::App& cli) {
    const auto options = std::make_shared<ReplayOptions>();
    ReplayOptions& o = *options;
    CLI::App* app = AddCommand(cli, kReplayHelp, [options](const CLI::App& parsed) {
        const std::size_t layouts = parsed.count("--default") + parsed.count("--layout");
        if (layouts > 1) {
            UsageError("give only one of --default and --layout FILE");
        }
        if (layouts == 0 && parsed.count("--plan") == 0) {
            UsageError("give one of --default, --layout FILE and --plan FILE");
        }
        if (parsed.count("TRACE") != 1) {
            UsageError(parsed.count("TRACE") == 0 ? "give the TRACE file" : "give one TRACE file");
        }
        options->haveMap = !options->mapFile.empty();
        CheckReportFiles(*options);
    });
    AddArguments(*app, "TRACE", "the recorded raw keyboard records (format below)", o.traceFile);
    AddWholeNumberOption(*app, "--threshold", "MS", "chatter threshold in milliseconds (default 8)",
                         0, 0xFFFFFFFFLL,
                         "--threshold needs a whole number of milliseconds from 0 to 4294967295",
                         [&o](long long value) { o.threshold = value; });
    AddKeySizeOption(*app, o.keySize);
    AddValueOption(*app, "--scancode-map", "FILE", "raw bytes of a \"Scancode Map\" registry value",
                   o.mapFile);
    app->add_flag("--fields", o.fields, "also print the last-key field writes");
    app->add_flag("--trace", o.trace, "write every diagnostic message to standard error");
    app->add_flag("--summary", o.summary, "after the state lines, one summary line (below)");
    AddValueOption(*app, "--report", "FILE", "write the test report as an HTML page", o.reportFile);
    AddValueOption(*app, "--csv", "FILE", "write the per-key figures as CSV", o.csvFile);
    app->add_flag("--default", o.useDefault, "replay on the built-in layout");
    AddValueOption(*app, "--layout", "FILE", "replay on the layout in a .kbl file", o.layoutFile);
    AddValueOption(*app, "--plan", "FILE",
                   "judge the trace as one unit under a test plan (.plan.json) and print its "
                   "verdict",
                   o.planFile);
    return {app, [options]() { return RunReplay(*options); }};
}
