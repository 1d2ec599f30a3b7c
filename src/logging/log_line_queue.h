#pragma once
// Event log lines waiting to be written to the view. Key handling queues its lines here and
// goes on at once; the page writes them out in one insertion when no key input is waiting, so
// a burst of keys costs one update of the view instead of one per line.
#include "base/colour.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Lines may wait this long while key input keeps arriving; then they are written anyway, so
// the view keeps moving during a long burst.
constexpr std::uint32_t kLogWriteDelayLimitMs = 50;

// The view's text limit: far beyond a working day of key events (a line is under 120
// characters, so at least 1,000,000 lines fit).
constexpr long kLogViewTextLimit = 0x7FFFFFFE;

// A stretch of the inserted text in one colour. start and length count characters of the
// text; position and span count them as a rich edit control does, which keeps each "\r\n" as
// one character.
struct LogColourRun {
    std::size_t start = 0;
    std::size_t length = 0;
    Colour colour = 0;
    std::size_t position = 0;
    std::size_t span = 0;
};

// Queued lines as one insertion at the end of the view: the text with "\r\n" before every
// line but the first of an empty view, and the colour of each line (its line break
// included), neighbours of the same colour joined.
struct LogInsertion {
    std::wstring text;
    std::vector<LogColourRun> runs;
    std::size_t lines = 0;
};

class LogLineQueue {
public:
    // line: the stamped line without a line break. now: the key clock, for the delay limit.
    void Push(std::wstring line, bool fault, std::uint32_t now);

    bool Empty() const { return lines_.empty(); }
    std::size_t Size() const { return lines_.size(); }

    // Whether the queued lines are to be written now: always when no key input waits,
    // otherwise once the oldest line has waited the delay limit.
    bool DueForWrite(bool inputWaiting, std::uint32_t now) const;

    // Takes every queued line, in order, as one insertion; the queue is empty afterwards.
    LogInsertion Take(bool viewIsEmpty);

private:
    struct Line {
        std::wstring text;
        bool fault = false;
    };
    std::vector<Line> lines_;
    std::uint32_t oldest_ = 0;
};
