#include "logging/log_line_queue.h"

#include "logging/event_log.h"

void LogLineQueue::Push(std::wstring line, bool fault, std::uint32_t now) {
    if (lines_.empty()) {
        oldest_ = now;
    }
    lines_.push_back(Line{std::move(line), fault});
}

bool LogLineQueue::DueForWrite(bool inputWaiting, std::uint32_t now) const {
    if (lines_.empty()) {
        return false;
    }
    // Unsigned difference: right across the clock's wrap.
    return !inputWaiting || now - oldest_ >= kLogWriteDelayLimitMs;
}

LogInsertion LogLineQueue::Take(bool viewIsEmpty) {
    LogInsertion insertion;
    std::size_t size = 0;
    for (const Line& line : lines_) {
        size += line.text.size() + 2;
    }
    insertion.text.reserve(size);
    bool first = true;
    std::size_t position = 0;
    for (const Line& line : lines_) {
        const std::size_t start = insertion.text.size();
        const bool lineBreak = !first || !viewIsEmpty;
        if (lineBreak) {
            insertion.text += L"\r\n";
        }
        first = false;
        insertion.text += line.text;
        const Colour colour = LogLineColour(line.fault);
        const std::size_t length = insertion.text.size() - start;
        const std::size_t span = length - (lineBreak ? 1 : 0);
        if (!insertion.runs.empty() && insertion.runs.back().colour == colour) {
            insertion.runs.back().length += length;
            insertion.runs.back().span += span;
        } else {
            insertion.runs.push_back(LogColourRun{start, length, colour, position, span});
        }
        position += span;
    }
    insertion.lines = lines_.size();
    lines_.clear();
    return insertion;
}
