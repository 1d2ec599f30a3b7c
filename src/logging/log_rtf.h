#pragma once
// Queued log lines as rich text, for a view that takes a whole insertion with its colours in
// one message. Setting each fault line's colour apart costs a rich edit control a pass over
// its layout per line, which made a burst of chatter lines slow to show.
#include "logging/log_line_queue.h"

#include <string>

// An RTF group holding the insertion's text with a colour switch at each run: only colours,
// so the text keeps the view's own font. Pure 7-bit ASCII: line breaks become paragraph
// marks, other characters outside printable ASCII are written as Unicode escapes.
std::string LogInsertionRtf(const LogInsertion& insertion);
