#include "report/report_model.h"

#include "input/key_states.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <unordered_map>

namespace {

constexpr std::uint32_t kDayMilliseconds = 24u * 60u * 60u * 1000u;

void Merge(ReportRow& row, const KeyCodeStatistics& figures) {
    row.presses += figures.presses;
    if (figures.chatter > 0) {
        if (row.chatter == 0 || figures.shortestChatter < row.shortestChatter) {
            row.shortestChatter = figures.shortestChatter;
        }
        row.chatter += figures.chatter;
    }
    if (figures.holds > 0) {
        if (row.holds == 0 || figures.shortestHold < row.shortestHold) {
            row.shortestHold = figures.shortestHold;
        }
        if (row.holds == 0 || figures.longestHold > row.longestHold) {
            row.longestHold = figures.longestHold;
        }
        row.holds += figures.holds;
    }
}

std::wstring NameOf(const std::map<ScanCode, std::wstring>& names, ScanCode code) {
    const auto found = names.find(code);
    return found == names.end() ? std::wstring() : found->second;
}

} // namespace

TestCoverage CountCoverage(const KeyboardLayout& layout) {
    TestCoverage coverage;
    for (const LayoutKey& key : layout.keys) {
        if (key.state == Skipped) {
            continue;
        }
        ++coverage.keys;
        if (key.state != Unpressed) {
            ++coverage.tested;
        }
        if (key.state == AlarmDepressed || key.state == Alarm) {
            ++coverage.faulty;
        }
    }
    return coverage;
}

std::wstring KeyDisplayName(const ReportRow& row) {
    return row.name.empty() ? row.label : row.name;
}

std::wstring PrintedLabel(const std::wstring& storedLabel) {
    std::wstring printed;
    printed.reserve(storedLabel.size());
    for (std::size_t i = 0; i < storedLabel.size(); ++i) {
        printed.push_back(storedLabel[i]);
        if (storedLabel[i] == L'&' && i + 1 < storedLabel.size() && storedLabel[i + 1] == L'&') {
            ++i;
        }
    }
    return printed;
}

TestReport BuildTestReport(const KeyboardLayout& layout, const KeyStatistics& statistics,
                           const std::map<ScanCode, std::wstring>& names,
                           const ReportContext& context) {
    TestReport report;
    report.context = context;
    report.width = layout.width;
    report.height = layout.height;
    report.coverage = CountCoverage(layout);

    std::unordered_map<const LayoutKey*, std::size_t> rowOfKey;
    report.keys.reserve(layout.keys.size());
    for (const LayoutKey& key : layout.keys) {
        ReportRow row;
        row.code = key.scanCode;
        row.name = key.name.empty() ? NameOf(names, key.scanCode) : key.name;
        row.label = PrintedLabel(key.label);
        row.state = key.state;
        row.key = key;
        rowOfKey.emplace(&key, report.keys.size());
        report.keys.push_back(std::move(row));
    }

    for (const KeyCodeStatistics& figures : statistics.Codes()) {
        report.chatter += figures.chatter;
        const LayoutKey* key = layout.FindKey(SubstitutePauseBreak(layout, figures.code));
        if (key != nullptr) {
            Merge(report.keys[rowOfKey.at(key)], figures);
        } else if (figures.presses > 0) {
            ReportRow row;
            row.code = figures.code;
            row.name = NameOf(names, figures.code);
            row.onLayout = false;
            row.state = -1;
            Merge(row, figures);
            report.extras.push_back(std::move(row));
        }
    }
    std::sort(report.extras.begin(), report.extras.end(),
              [](const ReportRow& a, const ReportRow& b) { return a.code < b.code; });

    report.chatterEvents.reserve(statistics.ChatterEvents().size());
    for (const ChatterRecord& event : statistics.ChatterEvents()) {
        // The event's moment on the time of day, in microseconds, rounded down to its
        // millisecond; the day wraps at midnight either way.
        const std::int64_t moment = static_cast<std::int64_t>(context.timeOfDayNow) * 1000 -
                                    (context.clockNow - event.time);
        const std::int64_t day = static_cast<std::int64_t>(kDayMilliseconds);
        const std::int64_t milliseconds = moment >= 0 ? moment / 1000 : -((999 - moment) / 1000);
        const auto timeOfDay = static_cast<std::uint32_t>((milliseconds % day + day) % day);
        report.chatterEvents.push_back(
            ReportChatter{timeOfDay, event.code, NameOf(names, event.code), event.interval});
    }

    report.timing.holds = statistics.Holds();
    report.timing.gaps = statistics.Gaps();

    report.rollover = statistics.Rollover();
    report.overflows = statistics.Overflows();
    report.overflowAt = statistics.OverflowAt();
    for (ScanCode code : statistics.RolloverKeys()) {
        report.rolloverKeys.push_back(NameOf(names, code));
    }
    return report;
}

const wchar_t* KeyStateName(std::int32_t state) {
    switch (state) {
    case Unpressed:
        return L"untested";
    case Depressed:
        return L"held";
    case Pressed:
        return L"good";
    case AlarmDepressed:
        return L"faulty held";
    case Alarm:
        return L"faulty";
    case Skipped:
        return L"skipped";
    default:
        return L"";
    }
}

std::wstring VerdictLine(const TestCoverage& coverage) {
    const std::size_t untested = coverage.keys - coverage.tested;
    if (coverage.keys > 0 && untested == 0 && coverage.faulty == 0) {
        return L"PASS: all " + std::to_wstring(coverage.keys) + L" keys tested, none faulty";
    }
    return L"FAIL: " + std::to_wstring(coverage.faulty) + L" faulty, " + std::to_wstring(untested) +
           L" untested";
}

std::wstring ReportVerdictLine(const TestReport& report) {
    if (!report.hasPlan) {
        return VerdictLine(report.coverage);
    }
    const ReportPlan& plan = report.plan;
    if (plan.pass) {
        return L"PASS: all " + std::to_wstring(plan.required) + L" keys of the plan " +
               (plan.name.empty() ? L"" : plan.name + L" ") + L"passed";
    }
    std::wstring line = L"FAIL";
    for (std::size_t i = 0; i < plan.reasons.size(); ++i) {
        line += (i == 0 ? L": " : L"; ") + plan.reasons[i];
    }
    return line;
}

std::string SummaryLine(const TestReport& report) {
    const TestCoverage& c = report.coverage;
    return "summary: keys " + std::to_string(c.keys) + " tested " + std::to_string(c.tested) +
           " untested " + std::to_string(c.keys - c.tested) + " faulty " +
           std::to_string(c.faulty) + " chatter " + std::to_string(report.chatter) + " extra " +
           std::to_string(report.extras.size()) + " rollover " + std::to_string(report.rollover);
}

std::string FormatTimeOfDay(std::uint32_t milliseconds) {
    milliseconds %= kDayMilliseconds;
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", milliseconds / 3600000u,
                  milliseconds / 60000u % 60u, milliseconds / 1000u % 60u, milliseconds % 1000u);
    return text;
}

std::wstring FormatMilliseconds(std::int64_t microseconds) {
    // In unsigned arithmetic, so the most negative value has a magnitude too.
    const bool negative = microseconds < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(microseconds)
                                             : static_cast<std::uint64_t>(microseconds);
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%ls%llu.%02u", negative ? L"-" : L"",
                  static_cast<unsigned long long>(magnitude / 1000),
                  static_cast<unsigned>(magnitude % 1000 / 10));
    return text;
}

const char* const kReportColumns[kReportColumnCount] = {"Scan code",
                                                        "Name",
                                                        "Label",
                                                        "On layout",
                                                        "State",
                                                        "Presses",
                                                        "Chatter",
                                                        "Shortest chatter (ms)",
                                                        "Shortest hold (ms)",
                                                        "Longest hold (ms)"};

std::vector<std::wstring> ReportCells(const ReportRow& row) {
    wchar_t code[8];
    std::swprintf(code, sizeof code / sizeof code[0], L"0x%04X", static_cast<unsigned>(row.code));
    std::wstring label = row.label;
    std::replace(label.begin(), label.end(), L'\n', L' ');
    const auto time = [](std::int64_t microseconds, bool present) {
        return present ? FormatMilliseconds(microseconds) : std::wstring();
    };
    return {code,
            row.name,
            label,
            row.onLayout ? L"yes" : L"no",
            row.onLayout ? KeyStateName(row.state) : L"",
            std::to_wstring(row.presses),
            std::to_wstring(row.chatter),
            time(row.shortestChatter, row.chatter > 0),
            time(row.shortestHold, row.holds > 0),
            time(row.longestHold, row.holds > 0)};
}
