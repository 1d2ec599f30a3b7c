#include "input/bounded_text.h"

#include "logging/printable_text.h"

#include <algorithm>
#include <cwctype>

BoundedText& BoundedText::Append(const wchar_t* text, std::size_t length) {
    const std::size_t taken = std::min(length, Room());
    std::copy(text, text + taken, buffer_ + length_);
    length_ += taken;
    buffer_[length_] = L'\0';
    return *this;
}

BoundedText& BoundedText::AppendPrintable(const wchar_t* text, std::size_t length) {
    const std::size_t start = length_;
    Append(text, length);
    MakePrintable(buffer_ + start, length_ - start);
    return *this;
}

BoundedText& BoundedText::AppendDecimal(std::int64_t value, int width) {
    wchar_t digits[24];
    std::size_t count = 0;
    // Work on the magnitude as unsigned so the most negative value does not overflow.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits[count++] = L'-';
    }
    for (int pad = width - static_cast<int>(count); pad > 0; --pad) {
        Append(L' ');
    }
    while (count > 0) {
        Append(digits[--count]);
    }
    return *this;
}

BoundedText& BoundedText::AppendHex(std::uint32_t value, int digits, bool upperCase) {
    const wchar_t* alphabet = upperCase ? L"0123456789ABCDEF" : L"0123456789abcdef";
    wchar_t text[8];
    std::size_t count = 0;
    do {
        text[count++] = alphabet[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int pad = digits - static_cast<int>(count); pad > 0; --pad) {
        Append(L'0');
    }
    while (count > 0) {
        Append(text[--count]);
    }
    return *this;
}

void BoundedText::UpperCaseFrom(std::size_t start) {
    for (std::size_t i = start; i < length_; ++i) {
        buffer_[i] = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(buffer_[i])));
    }
}
