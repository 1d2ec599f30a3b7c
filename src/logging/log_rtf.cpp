#include "logging/log_rtf.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

void AppendNumber(std::string& out, long value) {
    out += std::to_string(value);
}

void AppendColourEntry(std::string& out, Colour colour) {
    out += "\\red";
    AppendNumber(out, static_cast<long>(colour & 0xFFu));
    out += "\\green";
    AppendNumber(out, static_cast<long>((colour >> 8) & 0xFFu));
    out += "\\blue";
    AppendNumber(out, static_cast<long>((colour >> 16) & 0xFFu));
    out += ';';
}

// One UTF-16 unit as RTF: "\uN?" takes a signed 16-bit number; readers that cannot show it
// skip the "?" stand-in.
void AppendUnit(std::string& out, std::uint16_t unit) {
    out += "\\u";
    AppendNumber(out, static_cast<long>(static_cast<std::int16_t>(unit)));
    out += '?';
}

void AppendText(std::string& out, const std::wstring& text, std::size_t start, std::size_t end) {
    for (std::size_t i = start; i < end; ++i) {
        const wchar_t c = text[i];
        const std::uint32_t code = static_cast<std::uint32_t>(c);
        if (c == L'\r' || c == L'\n') {
            // "\r\n" is one line break, as a lone "\r" or "\n" is.
            if (c == L'\r' && i + 1 < end && text[i + 1] == L'\n') {
                ++i;
            }
            out += "\\par ";
        } else if (c == L'\t') {
            out += "\\tab ";
        } else if (c == L'\\' || c == L'{' || c == L'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            // Other control characters have no place in a log line.
            continue;
        } else if (code > 0xFFFFu) {
            // wchar_t of 32 bits (not Windows): written as its UTF-16 pair.
            const std::uint32_t v = code - 0x10000u;
            AppendUnit(out, static_cast<std::uint16_t>(0xD800u + (v >> 10)));
            AppendUnit(out, static_cast<std::uint16_t>(0xDC00u + (v & 0x3FFu)));
        } else {
            AppendUnit(out, static_cast<std::uint16_t>(c));
        }
    }
}

} // namespace

std::string LogInsertionRtf(const LogInsertion& insertion) {
    std::vector<Colour> table;
    for (const LogColourRun& run : insertion.runs) {
        if (std::find(table.begin(), table.end(), run.colour) == table.end()) {
            table.push_back(run.colour);
        }
    }
    std::string out = "{\\rtf1\\ansi\\uc1{\\colortbl;";
    for (Colour colour : table) {
        AppendColourEntry(out, colour);
    }
    out += '}';
    for (const LogColourRun& run : insertion.runs) {
        const auto index = std::find(table.begin(), table.end(), run.colour) - table.begin();
        out += "\\cf";
        AppendNumber(out, static_cast<long>(index + 1));
        out += ' ';
        const std::size_t end = std::min(run.start + run.length, insertion.text.size());
        AppendText(out, insertion.text, std::min(run.start, end), end);
    }
    out += '}';
    return out;
}
