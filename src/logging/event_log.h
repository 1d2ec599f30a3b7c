#pragma once
// The rules of the on-screen event log: how a line is stamped and separated, its colour, and
// the bytes of a saved log.
#include "base/colour.h"

#include <string>
#include <string_view>

constexpr Colour kFaultLineColour = 0x0000FF; // red
constexpr Colour kNormalLineColour = 0x000000;

// Command id of "&Copy" in the event log's context menu (menu resource 201).
constexpr int kLogViewerMenuId = 201;
constexpr int kLogViewerCopyCommand = 32776;

// The text appended for one line: "\r\n" unless the log is empty, then minutes and seconds
// of the local time, a full stop, the milliseconds in four digits, a blank and the line.
std::wstring ComposeLogLine(bool logIsEmpty, int minute, int second, int milliseconds,
                            std::wstring_view text);

constexpr Colour LogLineColour(bool fault) {
    return fault ? kFaultLineColour : kNormalLineColour;
}

// The whole log as it is written to a file: UTF-16 little-endian, no byte-order mark, no
// terminating zero. Characters beyond the basic plane become surrogate pairs on every
// platform.
std::string EncodeLogFileBytes(std::wstring_view text);

// The context menu offers "&Copy" only while something is selected.
constexpr bool CopyEnabled(long selectionStart, long selectionEnd) {
    return selectionStart != selectionEnd;
}

struct MonitorWorkArea {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// A menu point that lies on no monitor has its x moved into the nearest monitor's work area;
// its y stays.
long PlaceMenuX(long x, bool onAMonitor, const MonitorWorkArea& nearestWorkArea);
