#include "logging/event_log.h"

#include "base/diagnostic_log.h"

std::wstring ComposeLogLine(bool logIsEmpty, int minute, int second, int milliseconds,
                            std::wstring_view text) {
    const std::wstring line(text);
    return FormatWide(L"%ls%02d:%02d.%04d %ls", logIsEmpty ? L"" : L"\r\n", minute, second,
                      milliseconds, line.c_str());
}

std::string EncodeLogFileBytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    const auto put = [&bytes](unsigned unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    };
    for (const wchar_t c : text) {
        const auto value = static_cast<unsigned long>(c);
        if (value > 0xFFFF && value <= 0x10FFFF) {
            const unsigned long offset = value - 0x10000;
            put(static_cast<unsigned>(0xD800 + (offset >> 10)));
            put(static_cast<unsigned>(0xDC00 + (offset & 0x3FF)));
        } else if (value > 0x10FFFF) {
            put(0xFFFD);
        } else {
            put(static_cast<unsigned>(value));
        }
    }
    return bytes;
}

long PlaceMenuX(long x, bool onAMonitor, const MonitorWorkArea& nearestWorkArea) {
    if (onAMonitor) {
        return x;
    }
    if (x < nearestWorkArea.left) {
        return nearestWorkArea.left;
    }
    if (x >= nearestWorkArea.right) {
        return nearestWorkArea.right - 1;
    }
    return x;
}
