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
#include "session/key_test_session.h"
#include "session/replay_trace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

const char kReplayHelp[] =
    "  replay [--threshold MS] [--key-size N] [--scancode-map FILE] [--fields] [--trace]\n"
    "         [--summary] [--report FILE] [--csv FILE] (--default | --layout FILE) TRACE\n"
    "      Replays raw keyboard records through decoding, the key test engine and the key\n"
    "      states, starting as the page does after a layout selection.\n"
    "      TRACE: one record per line, TIME MAKE FLAGS VKEY [DEVICE], decimal or 0x-hex;\n"
    "        TIME is the millisecond clock at decoding, DEVICE an opaque handle (default 1);\n"
    "        '#' starts a comment, blank lines are skipped.\n"
    "      --threshold MS        chatter threshold in milliseconds (default 8)\n"
    "      --key-size N          pixels per key unit (default 36; values below 10 become 10)\n"
    "      --scancode-map FILE   raw bytes of a \"Scancode Map\" registry value\n"
    "      --fields              also print the last-key field writes\n"
    "      --trace               write every diagnostic message to standard error\n"
    "      --summary             after the state lines, one line:\n"
    "        summary: keys M tested T untested U faulty F chatter C extra E rollover R\n"
    "      --report FILE         write the test report as an HTML page\n"
    "      --csv FILE            write the per-key figures as CSV\n"
    "      --default             the built-in layout;  --layout FILE  a .kbl file\n"
    "      Output, one line per effect, in order:\n"
    "        status: <status text>      log: <line>      fault: <line shown in red>\n"
    "        held: \"<held keys>\"        lamp: Caps Lock | Num Lock | Scroll Lock\n"
    "        field: <control id> \"<text>\"   (only with --fields)\n"
    "      then one line per key that is not untested, in layout order:\n"
    "        state: 0x<code> <state 1-4> \"<key name>\"\n"
    "      Exit status: 0 after a complete replay; 1 when a report file could not be\n"
    "      written (nothing half-written is left); 2 for a usage error, an unreadable file\n"
    "      or a malformed trace line (\"line N: ...\" on standard error).\n";

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tapwise-cli replay: %s (try --help)\n", message.c_str());
    return 2;
}

bool ParseWhole(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

void Flush(RecordingView& view) {
    const std::string output = view.TakeOutput();
    std::fwrite(output.data(), 1, output.size(), stdout);
}

} // namespace

int RunReplayCommand(const std::vector<std::string>& arguments) {
    long long threshold = 8;
    long long keySize = 36;
    std::string mapFile;
    bool haveMap = false;
    bool fields = false;
    bool trace = false;
    int sources = 0;
    bool useDefault = false;
    std::string layoutFile;
    std::string traceFile;
    bool haveTrace = false;
    bool summary = false;
    std::string reportFile;
    std::string csvFile;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            std::fputs("usage: tapwise-cli replay [options] (--default | --layout FILE) TRACE\n\n",
                       stdout);
            std::fputs(kReplayHelp, stdout);
            return 0;
        }
        if (argument == "--threshold") {
            if (!hasValue || !ParseWhole(arguments[i + 1], 0, 0xFFFFFFFFLL, threshold)) {
                return UsageError("--threshold needs a whole number of milliseconds from 0 to "
                                  "4294967295");
            }
            ++i;
        } else if (argument == "--key-size") {
            if (!hasValue || !ParseWhole(arguments[i + 1], std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max(), keySize)) {
                return UsageError("--key-size needs a whole number");
            }
            keySize = keySize < 10 ? 10 : keySize;
            ++i;
        } else if (argument == "--scancode-map") {
            if (!hasValue) {
                return UsageError("--scancode-map needs a FILE");
            }
            mapFile = arguments[++i];
            haveMap = true;
        } else if (argument == "--fields") {
            fields = true;
        } else if (argument == "--trace") {
            trace = true;
        } else if (argument == "--summary") {
            summary = true;
        } else if (argument == "--report" || argument == "--csv") {
            if (!hasValue || arguments[i + 1].empty()) {
                return UsageError(argument + " needs a FILE");
            }
            (argument == "--report" ? reportFile : csvFile) = arguments[++i];
        } else if (argument == "--default") {
            ++sources;
            useDefault = true;
        } else if (argument == "--layout") {
            if (!hasValue) {
                return UsageError("--layout needs a FILE");
            }
            ++sources;
            layoutFile = arguments[++i];
        } else if (argument.rfind("--", 0) == 0 || argument.empty()) {
            return UsageError("unknown option '" + argument + "'");
        } else if (haveTrace) {
            return UsageError("give one TRACE file");
        } else {
            traceFile = argument;
            haveTrace = true;
        }
    }
    if (sources != 1) {
        return UsageError("give exactly one of --default and --layout FILE");
    }
    if (!haveTrace) {
        return UsageError("give the TRACE file");
    }

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
    std::wstring lastLayout;
    session.SelectLayout(
        useDefault ? std::wstring(kDefaultLayoutMarker) : ArgumentToWide(layoutFile), lastLayout);
    for (const TraceRecord& record : records) {
        session.Feed(record.record, record.time);
        if (view.Output().size() >= (1u << 16)) {
            Flush(view);
        }
    }
    view.WriteKeyStates(session.Layout());
    Flush(view);
    int status = 0;
    if (summary || !reportFile.empty() || !csvFile.empty()) {
        const std::uint32_t clockNow = records.empty() ? 0 : records.back().time;
        const TestReport report = session.Report(ReplayReportContext(
            session.Layout().name, usedThreshold, ArgumentToWide(traceFile), clockNow));
        if (summary) {
            std::string line = SummaryLine(report);
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
        if (!WriteReportFiles(report, reportFile, csvFile)) {
            status = 1;
        }
    }
    std::fflush(stdout);
    InstallLogger(std::move(previous));
    return status;
}
