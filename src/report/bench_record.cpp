#include "report/bench_record.h"

#include "base/diagnostic_log.h"
#include "logging/std_log_files.h"
#include "report/csv_text.h"

#include <algorithm>
#include <fstream>
#include <iterator>

const char* const kBenchColumns[kBenchColumnCount] = {
    "Date",           "Time",     "Unit",     "Plan",         "Layout",
    "Verdict",        "Tested",   "Required", "Faulty keys",  "Untested keys",
    "Chatter events", "Rollover", "Overflow", "Duration (s)", "Report"};

namespace {

constexpr std::wstring_view kKeySeparator = L"; ";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kLongestUnit = 100;

std::string HeaderLine() {
    std::string line;
    for (std::size_t i = 0; i < kBenchColumnCount; ++i) {
        if (i > 0) {
            line += ',';
        }
        line += kBenchColumns[i];
    }
    return line;
}

bool StartsWithHeader(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::string header = HeaderLine();
    return text.substr(0, header.size()) == header &&
           (text.substr(header.size(), 2) == "\r\n" || text.substr(header.size(), 1) == "\n");
}

bool IsForbiddenInFileName(wchar_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) ||
           std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
}

bool IsReservedDeviceName(std::wstring_view stem) {
    while (!stem.empty() && stem.back() == L' ') {
        stem.remove_suffix(1);
    }
    std::wstring upper(stem);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL") {
        return true;
    }
    return upper.size() == 4 &&
           (upper.compare(0, 3, L"COM") == 0 || upper.compare(0, 3, L"LPT") == 0) &&
           upper[3] >= L'1' && upper[3] <= L'9';
}

bool IsHighSurrogate(wchar_t c) {
    return static_cast<std::uint32_t>(c) >= 0xD800 && static_cast<std::uint32_t>(c) <= 0xDBFF;
}

} // namespace

std::wstring JoinBenchKeyNames(const std::vector<std::wstring>& names) {
    std::wstring cell;
    for (const std::wstring& name : names) {
        if (name.empty()) {
            continue;
        }
        if (!cell.empty()) {
            cell += kKeySeparator;
        }
        std::size_t start = cell.size();
        cell += name;
        // Only a name's own separators are touched, never the ones already placed.
        for (std::size_t at; (at = cell.find(kKeySeparator, start)) != std::wstring::npos;) {
            cell.erase(at + 1, 1);
            start = at + 1;
        }
    }
    return cell;
}

std::vector<std::wstring> SplitKeyNames(std::wstring_view cell) {
    std::vector<std::wstring> names;
    while (!cell.empty()) {
        const std::size_t end = cell.find(kKeySeparator);
        if (end != 0) {
            names.emplace_back(cell.substr(0, end));
        }
        if (end == std::wstring_view::npos) {
            break;
        }
        cell.remove_prefix(end + kKeySeparator.size());
    }
    return names;
}

std::vector<std::wstring> BenchCells(const BenchRow& row) {
    const LocalTimeFields& when = row.when;
    return {FormatWide(L"%04d-%02d-%02d", when.year, when.month, when.day),
            FormatWide(L"%02d:%02d:%02d", when.hour, when.minute, when.second),
            row.unit,
            row.plan,
            row.layout,
            row.passed ? L"PASS" : L"FAIL",
            std::to_wstring(row.tested),
            std::to_wstring(row.required),
            JoinBenchKeyNames(row.faultyKeys),
            JoinBenchKeyNames(row.untestedKeys),
            std::to_wstring(row.chatterEvents),
            std::to_wstring(row.rollover),
            std::to_wstring(row.overflow),
            std::to_wstring(row.durationSeconds),
            row.report};
}

std::string FormatBenchRow(const BenchRow& row) {
    std::string line;
    AppendCsvRow(line, BenchCells(row));
    return line;
}

std::string BenchFileAppendix(std::string_view existing, const BenchRow& row) {
    std::string out;
    if (existing.empty()) {
        out += kByteOrderMark;
    } else {
        // An odd number of quotes leaves the last cell open; a cut-off row is closed where it
        // stopped.
        if (std::count(existing.begin(), existing.end(), '"') % 2 != 0) {
            out += '"';
        }
        if (!out.empty() || existing.back() != '\n') {
            out += existing.back() == '\r' && out.empty() ? "\n" : "\r\n";
        }
    }
    if (!StartsWithHeader(existing)) {
        out += HeaderLine() + "\r\n";
    }
    return out + FormatBenchRow(row);
}

bool AppendBenchRow(const std::wstring& path, const BenchRow& row) {
    LogMessage(L"AppendBenchRow(\"%ls\")\n", path.c_str());
    const std::filesystem::path file = WidePath(path);
    std::error_code error;
    std::string existing;
    if (std::filesystem::exists(file, error)) {
        if (!std::filesystem::is_regular_file(file, error)) {
            LogMessage(L"   Not a file; nothing written.\n");
            return false;
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            LogMessage(L"   The file cannot be read; nothing written.\n");
            return false;
        }
        existing.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            LogMessage(L"   The file cannot be read; nothing written.\n");
            return false;
        }
    } else if (error) {
        LogMessage(L"   The file cannot be reached; nothing written.\n");
        return false;
    }
    const std::string bytes = BenchFileAppendix(existing, row);
    // One write, so that a row is whole or not there even when two benches share the file.
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) {
        LogMessage(L"   The file cannot be opened for writing.\n");
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
        LogMessage(L"   Writing failed.\n");
        return false;
    }
    return true;
}

std::wstring BenchReportBaseName(const std::wstring& unit, const LocalTimeFields& time,
                                 int serial) {
    std::wstring_view trimmed = unit;
    while (!trimmed.empty() && trimmed.front() == L' ') {
        trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && trimmed.back() == L' ') {
        trimmed.remove_suffix(1);
    }
    if (trimmed.size() > kLongestUnit) {
        // A surrogate pair stays whole.
        trimmed = trimmed.substr(0, IsHighSurrogate(trimmed[kLongestUnit - 1]) ? kLongestUnit - 1
                                                                               : kLongestUnit);
    }
    std::wstring name = trimmed.empty() ? std::wstring(L"unit") : std::wstring(trimmed);
    std::replace_if(name.begin(), name.end(), IsForbiddenInFileName, L'_');
    name += FormatWide(L"_%04d%02d%02d-%02d%02d%02d", time.year, time.month, time.day, time.hour,
                       time.minute, time.second);
    if (serial > 1) {
        name += L"-" + std::to_wstring(serial);
    }
    const std::size_t stemEnd = std::min(name.find(L'.'), name.size());
    if (IsReservedDeviceName(std::wstring_view(name).substr(0, stemEnd))) {
        name.insert(stemEnd, 1, L'_');
    }
    return name;
}
