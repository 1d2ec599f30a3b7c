#include "session/replay_trace.h"

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

std::string QuoteText(std::wstring_view text) {
    std::string quoted = "\"";
    for (char c : EncodeUtf8(text)) {
        switch (c) {
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    quoted += '"';
    return quoted;
}

void RecordingView::WriteKeyStates(const KeyboardLayout& layout) {
    for (const LayoutKey& key : layout.keys) {
        if (key.state == Unpressed) {
            continue;
        }
        std::wstring name = key.name;
        if (name.empty()) {
            name = key.label;
            for (wchar_t& c : name) {
                if (c == L'\n') {
                    c = L' ';
                }
            }
        }
        char head[48];
        std::snprintf(head, sizeof head, "state: 0x%04X %" PRId32 " ", key.scanCode, key.state);
        output_ += head;
        output_ += QuoteText(name);
        output_ += '\n';
    }
}

std::string RecordingView::TakeOutput() {
    std::string taken;
    taken.swap(output_);
    return taken;
}

void RecordingView::AppendUtf8(std::wstring_view text) {
    output_ += EncodeUtf8(text);
}

void RecordingView::FieldChanged(int field, const wchar_t* text) {
    if (field == kFieldHeldKeys) {
        output_ += "held: ";
        output_ += QuoteText(text);
        output_ += '\n';
    } else if (showFields_) {
        output_ += "field: " + std::to_string(field) + " ";
        output_ += QuoteText(text);
        output_ += '\n';
    }
}

void RecordingView::LampToRefresh(LockKey lock) {
    output_ += "lamp: ";
    AppendUtf8(LockKeyName(lock));
    output_ += '\n';
}

void RecordingView::StatusChanged(const LayoutStatusDisplay& display) {
    if (display.visible) {
        output_ += "status: ";
        AppendUtf8(LayoutStatusTextDefault(display.textId));
        output_ += '\n';
    }
}

void RecordingView::LogLinesReady() {
    if (session_ == nullptr) {
        return;
    }
    for (const SessionLogLine& line : session_->TakeLogLines()) {
        output_ += line.fault ? "fault: " : "log: ";
        AppendUtf8(line.text);
        output_ += '\n';
    }
}
