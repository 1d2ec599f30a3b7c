#include "session/trace_record.h"

#include "base/utf8.h"

#include <cinttypes>
#include <cstdio>

namespace {

bool ParseNumber(std::string_view token, std::uint64_t limit, std::uint64_t& value) {
    int base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        base = 16;
        token.remove_prefix(2);
    }
    if (token.empty() || token.size() > 32) {
        return false;
    }
    std::uint64_t result = 0;
    for (char c : token) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (result > (limit - digit) / static_cast<unsigned>(base)) {
            return false;
        }
        result = result * static_cast<unsigned>(base) + digit;
    }
    value = result;
    return true;
}

// Whole milliseconds in a trace; far beyond any run of the program.
constexpr std::uint64_t kTraceTimeLimit = 0xFFFFFFFFFFFF;

// Milliseconds with up to three decimals, or whole 0x-hexadecimal milliseconds, as
// microseconds.
bool ParseTime(std::string_view token, std::int64_t& microseconds) {
    const std::size_t point = token.find('.');
    std::uint64_t whole = 0;
    if (!ParseNumber(token.substr(0, point), kTraceTimeLimit, whole)) {
        return false;
    }
    std::uint64_t fraction = 0;
    if (point != std::string_view::npos) {
        const std::string_view digits = token.substr(point + 1);
        const bool hex = token.size() > 1 && (token[1] == 'x' || token[1] == 'X');
        if (hex || digits.empty() || digits.size() > 3 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            fraction =
                fraction * 10 + (i < digits.size() ? static_cast<unsigned>(digits[i] - '0') : 0u);
        }
    }
    microseconds = static_cast<std::int64_t>(whole * 1000 + fraction);
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

struct TraceField {
    const char* name;
    std::uint64_t limit;
};

constexpr TraceField kFields[] = {
    {"TIME", kTraceTimeLimit}, {"MAKE", 0xFFFF},       {"FLAGS", 0xFFFF},
    {"VKEY", 0xFFFF},          {"DEVICE", UINT64_MAX},
};

} // namespace

bool ParseTrace(std::string_view text, std::vector<TraceRecord>& records, std::string& error) {
    records.clear();
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        line = line.substr(0, line.find('#'));

        std::string_view tokens[6];
        std::size_t count = 0;
        std::size_t position = 0;
        while (position < line.size()) {
            while (position < line.size() && IsBlank(line[position])) {
                ++position;
            }
            const std::size_t start = position;
            while (position < line.size() && !IsBlank(line[position])) {
                ++position;
            }
            if (position > start) {
                if (count == 6) {
                    break;
                }
                tokens[count++] = line.substr(start, position - start);
            }
        }
        if (count == 0) {
            continue;
        }
        const std::string prefix = "line " + std::to_string(lineNumber) + ": ";
        if (count < 4 || count > 5) {
            error = prefix + "expected TIME MAKE FLAGS VKEY [DEVICE], found " +
                    (count > 5 ? std::string("more than 5") : std::to_string(count)) +
                    (count == 1 ? " field" : " fields");
            records.clear();
            return false;
        }
        std::uint64_t values[5] = {0, 0, 0, 0, 1};
        std::int64_t time = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const bool valid = i == 0 ? ParseTime(tokens[i], time)
                                      : ParseNumber(tokens[i], kFields[i].limit, values[i]);
            if (!valid) {
                char limit[32];
                std::snprintf(limit, sizeof limit, "0x%" PRIX64, kFields[i].limit);
                error = prefix + kFields[i].name + " \"" + std::string(tokens[i]) +
                        (i == 0 ? "\" is not a number of milliseconds (up to three decimals, or "
                                  "0x-hexadecimal) from 0 to "
                                : "\" is not a decimal or 0x-hexadecimal number from 0 to ") +
                        limit;
                records.clear();
                return false;
            }
        }
        TraceRecord record;
        record.time = time;
        record.record.makeCode = static_cast<std::uint16_t>(values[1]);
        record.record.flags = static_cast<std::uint16_t>(values[2]);
        record.record.virtualKey = static_cast<std::uint16_t>(values[3]);
        record.record.device = values[4];
        records.push_back(record);
    }
    return true;
}

std::string FormatTraceTime(std::int64_t microseconds) {
    const bool negative = microseconds < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(microseconds)
                                             : static_cast<std::uint64_t>(microseconds);
    char text[32];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%03u", negative ? "-" : "", magnitude / 1000,
                  static_cast<unsigned>(magnitude % 1000));
    return text;
}

namespace {

// A header value on one comment line: line breaks and other control characters would end
// the comment, so they become spaces.
std::string CommentText(std::wstring_view text) {
    std::string utf8 = EncodeUtf8(text);
    for (char& c : utf8) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return utf8;
}

} // namespace

std::string WriteTrace(const TraceHeader& header, const std::vector<TraceRecord>& records) {
    std::string out;
    out.reserve(512 + 40 * records.size());
    const std::string layoutFile = CommentText(header.layoutFile);
    const std::string threshold = std::to_string(header.threshold);
    out += "# Tapwise key test trace: the raw keyboard records of the test as they arrived\r\n";
    out += "# program: " + CommentText(header.programVersion) + "\r\n";
    out += "# layout: " + CommentText(header.layoutName) + "\r\n";
    out += "# layout file: " +
           (layoutFile.empty() ? std::string("(the built-in default layout)") : layoutFile) +
           "\r\n";
    out += "# chatter threshold: " + threshold + " ms\r\n";
    out += "# clock: " +
           (header.clock.empty() ? std::string("(not recorded)") : CommentText(header.clock)) +
           "\r\n";
    out += "# replay: tapwise-cli replay " +
           (layoutFile.empty() ? std::string("--default") : "--layout \"" + layoutFile + "\"") +
           " --threshold " + threshold + " <this file>\r\n";
    out += "# TIME (ms) MAKE FLAGS VKEY DEVICE\r\n";
    for (const TraceRecord& record : records) {
        char line[96];
        std::snprintf(line, sizeof line, " 0x%02X %u 0x%02X 0x%" PRIX64 "\r\n",
                      static_cast<unsigned>(record.record.makeCode),
                      static_cast<unsigned>(record.record.flags),
                      static_cast<unsigned>(record.record.virtualKey), record.record.device);
        out += FormatTraceTime(record.time);
        out += line;
    }
    return out;
}
