#include "cli/cli_text.h"

#include "base/utf8.h"

#include <cstdio>

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

void AppendHexEscape(std::string& out, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", value & 0xFF);
    out += buffer;
}

} // namespace

std::string Quoted(const std::wstring& text) {
    std::string out = "\"";
    std::wstring plain;
    const auto flush = [&]() {
        out += EncodeUtf8(plain);
        plain.clear();
    };
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"' || c == L'\n' || c == L'\r' ||
            IsControl(static_cast<char32_t>(c))) {
            flush();
            if (c == L'\\') {
                out += "\\\\";
            } else if (c == L'"') {
                out += "\\\"";
            } else if (c == L'\n') {
                out += "\\n";
            } else if (c == L'\r') {
                out += "\\r";
            } else {
                AppendHexEscape(out, static_cast<unsigned>(c));
            }
        } else {
            plain.push_back(c);
        }
    }
    flush();
    out += "\"";
    return out;
}

std::string PlainName(const std::wstring& text) {
    std::string out;
    std::wstring plain;
    for (wchar_t c : text) {
        if (IsControl(static_cast<char32_t>(c))) {
            out += EncodeUtf8(plain);
            plain.clear();
            AppendHexEscape(out, static_cast<unsigned>(c));
        } else {
            plain.push_back(c);
        }
    }
    return out + EncodeUtf8(plain);
}
