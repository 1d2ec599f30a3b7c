#include "logging/event_log.h"
#include "logging/log_line_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A view as text with one colour per character, written either one line at a time (as the
// view did before lines were queued) or by queued insertions.
struct ModelView {
    std::wstring text;
    std::vector<Colour> colours;

    void AppendAlone(const std::wstring& line, bool fault) {
        const std::wstring appended = ComposeLogLine(text.empty(), 0, 0, 0, line);
        text += appended;
        colours.insert(colours.end(), appended.size(), LogLineColour(fault));
    }
    void Insert(const LogInsertion& insertion) {
        const std::size_t base = text.size();
        text += insertion.text;
        colours.resize(text.size(), 0xABCDEF); // uncoloured text shows up as a mismatch
        for (const LogColourRun& run : insertion.runs) {
            for (std::size_t i = 0; i < run.length; ++i) {
                colours[base + run.start + i] = run.colour;
            }
        }
    }
};

std::wstring Stamped(const std::wstring& line) {
    return ComposeLogLine(true, 0, 0, 0, line);
}

} // namespace

TEST(LogLineQueue, BatchesShowTheSameTextAndColoursAsLinesAppendedAlone) {
    struct Line {
        std::wstring text;
        bool fault;
    };
    std::vector<Line> lines;
    for (int i = 0; i < 40; ++i) {
        lines.push_back({L"key " + std::to_wstring(i), i % 7 == 3 || i % 7 == 4});
    }
    ModelView alone;
    for (const Line& line : lines) {
        alone.AppendAlone(line.text, line.fault);
    }
    // Batches of many sizes, the first into the empty view.
    for (std::size_t batch : {1u, 2u, 3u, 5u, 40u}) {
        ModelView batched;
        LogLineQueue queue;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            queue.Push(Stamped(lines[i].text), lines[i].fault, 0);
            if ((i + 1) % batch == 0 || i + 1 == lines.size()) {
                batched.Insert(queue.Take(batched.text.empty()));
                EXPECT_TRUE(queue.Empty());
            }
        }
        EXPECT_EQ(batched.text, alone.text) << batch;
        EXPECT_EQ(batched.colours, alone.colours) << batch;
    }
}

TEST(LogLineQueue, FaultLinesFormRedRunsWithTheirLineBreak) {
    LogLineQueue queue;
    queue.Push(L"a", false, 0);
    queue.Push(L"b", false, 0);
    queue.Push(L"c", true, 0);
    queue.Push(L"d", true, 0);
    queue.Push(L"e", false, 0);
    EXPECT_EQ(queue.Size(), 5u);
    const LogInsertion insertion = queue.Take(false);
    EXPECT_EQ(insertion.text, L"\r\na\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(insertion.lines, 5u);
    ASSERT_EQ(insertion.runs.size(), 3u);
    EXPECT_EQ(insertion.runs[0].start, 0u);
    EXPECT_EQ(insertion.runs[0].length, 6u);
    EXPECT_EQ(insertion.runs[0].colour, kNormalLineColour);
    EXPECT_EQ(insertion.runs[1].start, 6u);
    EXPECT_EQ(insertion.runs[1].length, 6u);
    EXPECT_EQ(insertion.runs[1].colour, kFaultLineColour);
    EXPECT_EQ(insertion.runs[2].start, 12u);
    EXPECT_EQ(insertion.runs[2].length, 3u);
    EXPECT_EQ(insertion.runs[2].colour, kNormalLineColour);
    // A rich edit control keeps each line break as one character.
    EXPECT_EQ(insertion.runs[1].position, 4u);
    EXPECT_EQ(insertion.runs[1].span, 4u);
    EXPECT_EQ(insertion.runs[2].position, 8u);
    EXPECT_EQ(insertion.runs[2].span, 2u);

    const LogInsertion nothing = queue.Take(true);
    EXPECT_TRUE(nothing.text.empty());
    EXPECT_TRUE(nothing.runs.empty());
    EXPECT_EQ(nothing.lines, 0u);
}

TEST(LogLineQueue, WrittenWhenNoInputWaitsOrTheOldestLineWaitedTooLong) {
    LogLineQueue queue;
    EXPECT_FALSE(queue.DueForWrite(false, 1000)); // nothing to write

    queue.Push(L"a", false, 1000);
    EXPECT_TRUE(queue.DueForWrite(false, 1000));
    EXPECT_FALSE(queue.DueForWrite(true, 1000));
    // Later lines do not move the deadline of the oldest.
    queue.Push(L"b", false, 1030);
    EXPECT_FALSE(queue.DueForWrite(true, 1000 + kLogWriteDelayLimitMs - 1));
    EXPECT_TRUE(queue.DueForWrite(true, 1000 + kLogWriteDelayLimitMs));

    // After a write the next line starts a new wait.
    queue.Take(true);
    queue.Push(L"c", false, 2000);
    EXPECT_FALSE(queue.DueForWrite(true, 2049));
    EXPECT_TRUE(queue.DueForWrite(true, 2050));

    // Across the wrap of the 32-bit clock.
    queue.Take(false);
    queue.Push(L"d", false, 0xFFFFFFF0u);
    EXPECT_FALSE(queue.DueForWrite(true, 0xFFFFFFFFu));
    EXPECT_TRUE(queue.DueForWrite(true, 0x30u));
}
