#include "session/replay_trace.h"

#include "base/utf8.h"

#include <cinttypes>
#include <cstdio>

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
