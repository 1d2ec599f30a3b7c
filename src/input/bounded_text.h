#pragma once
// Appending into a fixed wide-character buffer that is always terminated and never
// overrun: whatever does not fit is cut. The number formats match their printf
// counterparts exactly; they exist because the key path formats several short texts per
// event and the C library's wide printf is many times slower.
#include <cstddef>
#include <cstdint>
#include <string>

class BoundedText {
public:
    // capacity counts the terminating null and must be at least 1.
    BoundedText(wchar_t* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
        buffer_[0] = L'\0';
    }

    const wchar_t* Text() const { return buffer_; }
    std::size_t Length() const { return length_; }
    std::size_t Room() const { return capacity_ - 1 - length_; }

    BoundedText& Append(const wchar_t* text, std::size_t length);
    BoundedText& Append(const std::wstring& text) { return Append(text.data(), text.size()); }
    BoundedText& Append(wchar_t character) { return Append(&character, 1); }
    // Text from a file: control characters are shown as spaces.
    BoundedText& AppendPrintable(const wchar_t* text, std::size_t length);
    BoundedText& AppendPrintable(const std::wstring& text) {
        return AppendPrintable(text.data(), text.size());
    }
    // printf "%*d" with this minimum width (spaces on the left).
    BoundedText& AppendDecimal(std::int64_t value, int width = 0);
    // printf "%0*x" / "%0*X".
    BoundedText& AppendHex(std::uint32_t value, int digits, bool upperCase);
    // Upper-cases every character from position start on (towupper).
    void UpperCaseFrom(std::size_t start);

private:
    wchar_t* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};
