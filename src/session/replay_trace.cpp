#include "session/replay_trace.h"

#include "base/utf8.h"
#include "layouts/layout_parser.h"

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

struct TraceField {
    const char* name;
    std::uint64_t limit;
};

constexpr TraceField kFields[] = {
    {"TIME", 0xFFFFFFFFu}, {"MAKE", 0xFFFF},       {"FLAGS", 0xFFFF},
    {"VKEY", 0xFFFF},      {"DEVICE", UINT64_MAX},
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
        for (std::size_t i = 0; i < count; ++i) {
            if (!ParseNumber(tokens[i], kFields[i].limit, values[i])) {
                char limit[32];
                std::snprintf(limit, sizeof limit, "0x%" PRIX64, kFields[i].limit);
                error = prefix + kFields[i].name + " \"" + std::string(tokens[i]) +
                        "\" is not a decimal or 0x-hexadecimal number from 0 to " + limit;
                records.clear();
                return false;
            }
        }
        TraceRecord record;
        record.time = static_cast<std::uint32_t>(values[0]);
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

ReplaySession::ReplaySession(KeyboardLayout& layout, KeyNameTable& names, const RemapTable& remap,
                             std::uint32_t threshold, bool showFields, int keySize)
    : layout_(layout), names_(names), showFields_(showFields), keySize_(keySize),
      threshold_(threshold), engine_(queue_, names, remap, *this, [this] { return threshold_; }) {}

bool ReplaySession::SelectLayout(const std::wstring& path, const std::wstring& defaultText) {
    selector_.SetDefaultLayout(defaultText, std::wstring());
    std::wstring lastLayout;
    return selector_.SelectLayout(*this, path, lastLayout);
}

void ReplaySession::Feed(const TraceRecord& record, bool background) {
    if (background && !decoder_.TakesBackgroundRecord(
                          record.record, [this](ScanCode code) { return engine_.IsHeld(code); })) {
        return;
    }
    if (decoder_.IsNewDevice(record.record)) {
        decoder_.SetCurrentDevice(record.record.device);
    }
    const DecodeResult result = decoder_.Decode(record.record, record.time, queue_);
    if (result.message == KeyMessage::Make) {
        engine_.OnKeyMake(result.index);
    } else if (result.message == KeyMessage::Break) {
        engine_.OnKeyBreak(result.index);
    }
}

void ReplaySession::Activate(std::uint32_t time) {
    engine_.ReleaseKeysMissedWhileAway(time, nullptr);
}

void ReplaySession::Restart(std::uint32_t threshold) {
    threshold_ = threshold;
    engine_.ForgetAllKeys();
    queue_.clear();
    decoder_ = RawKeyDecoder();
    selector_.ClearKeyboardDisplay(*this);
    output_.clear();
}

void ReplaySession::Finish() {
    for (const LayoutKey& key : layout_.keys) {
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

TestReport ReplaySession::Report(const ReportContext& context) const {
    return BuildTestReport(layout_, engine_.Statistics(), names_.Entries(), context);
}

void ReplaySession::ResetKeyStates() {
    layout_.ResetKeyStates();
    engine_.ResetStatistics();
}

std::string ReplaySession::TakeOutput() {
    std::string taken;
    taken.swap(output_);
    return taken;
}

void ReplaySession::AppendUtf8(std::wstring_view text) {
    output_ += EncodeUtf8(text);
}

void ReplaySession::SetFieldText(int control, const wchar_t* text) {
    if (control == kFieldHeldKeys) {
        output_ += "held: ";
        output_ += QuoteText(text);
        output_ += '\n';
    } else if (showFields_) {
        output_ += "field: " + std::to_string(control) + " ";
        output_ += QuoteText(text);
        output_ += '\n';
    }
}

void ReplaySession::AppendLine(const wchar_t* text, bool fault) {
    output_ += fault ? "fault: " : "log: ";
    AppendUtf8(text);
    output_ += '\n';
}

void ReplaySession::NotifyPressed(ScanCode code) {
    ::NotifyPressed(layout_, this, code);
}
void ReplaySession::NotifyReleased(ScanCode code) {
    ::NotifyReleased(layout_, this, code);
}
void ReplaySession::NotifyFault(ScanCode code) {
    ::NotifyFault(layout_, this, code);
}

void ReplaySession::RefreshLockIndicator(LockKey lock) {
    output_ += "lamp: ";
    AppendUtf8(LockKeyName(lock));
    output_ += '\n';
}

void ReplaySession::SetLayoutStatus(int status) {
    // The engine only moves the status on after a key press; the selector takes that step
    // and shows the status line when the value changes.
    if (status != selector_.Status()) {
        selector_.OnKeyPress(*this);
    }
}

bool ReplaySession::LoadLayoutFile(const std::wstring& path) {
    return ::LoadLayoutFile(path, keySize_, layout_, names_);
}

bool ReplaySession::LoadLayoutString(const std::wstring& text) {
    return LoadLayoutText(text, keySize_, layout_, names_);
}

void ReplaySession::SetStatusText(int textId, Colour) {
    output_ += "status: ";
    AppendUtf8(LayoutStatusTextDefault(textId));
    output_ += '\n';
}
