#include "logging/event_log.h"
#include "logging/log_line_queue.h"
#include "logging/log_rtf.h"

#include <gtest/gtest.h>

namespace {

TEST(LogInsertionRtf, ColoursEachRunAndEscapesWhatRichTextWouldRead) {
    LogLineQueue queue;
    queue.Push(L"a {x} \\ DOWN", false, 0);
    queue.Push(L"\u00C4\tCHATTER", true, 0);
    queue.Push(L"b UP", false, 0);
    const std::string rtf = LogInsertionRtf(queue.Take(false));
    EXPECT_EQ(rtf, "{\\rtf1\\ansi\\uc1{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
                   "\\cf1 \\par a \\{x\\} \\\\ DOWN"
                   "\\cf2 \\par \\u196?\\tab CHATTER"
                   "\\cf1 \\par b UP}");
}

TEST(LogInsertionRtf, StaysSevenBitAndWritesCharactersBeyondTheBasicPlaneAsPairs) {
    LogLineQueue queue;
    // The clef is one wchar_t on Linux and a surrogate pair on Windows: the same text either way.
    queue.Push(L"\u20AC \U0001D11E \x01 end", true, 0);
    const std::string rtf = LogInsertionRtf(queue.Take(true));
    for (char c : rtf) {
        ASSERT_GE(static_cast<unsigned char>(c), 0x20) << rtf;
        ASSERT_LT(static_cast<unsigned char>(c), 0x7F) << rtf;
    }
    EXPECT_EQ(rtf, "{\\rtf1\\ansi\\uc1{\\colortbl;\\red255\\green0\\blue0;}"
                   "\\cf1 \\u8364? \\u-10188?\\u-8930?  end}");
}

} // namespace
