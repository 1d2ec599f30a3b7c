#include "logging/printable_text.h"

#include <algorithm>

bool IsControlCharacter(wchar_t c) {
    const auto value = static_cast<char32_t>(c);
    return value < 0x20 || (value >= 0x7F && value <= 0x9F) || value == 0x2028 || value == 0x2029;
}

std::wstring PrintableText(std::wstring_view text) {
    std::wstring printable(text);
    MakePrintable(printable.data(), printable.size());
    return printable;
}

void MakePrintable(wchar_t* text, std::size_t length) {
    std::replace_if(text, text + length, IsControlCharacter, L' ');
}
