#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(DiagnosticLog, MessagesAreDroppedWithoutALogger) {
    auto previous = InstallLogger(nullptr);
    LogMessage(L"lost %d\n", 1); // must not crash
    InstallLogger(std::move(previous));
}

TEST(DiagnosticLog, CapturesFormattedMessagesInOrder) {
    CapturedLog log;
    LogMessage(L"OnInput():  Scan code 0x%02x, %ls.\n", 0x1e, L"Down");
    LogMessage(L"Setting thread affinity...  ");
    LogMessage(L"Ok.\n");
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x1e, Down.\nSetting thread affinity...  Ok.\n");
}

TEST(DiagnosticLog, FormatsLongMessagesWhole) {
    const std::wstring path(5000, L'x');
    EXPECT_EQ(FormatWide(L"[%ls]", path.c_str()).size(), 5002u);
    EXPECT_EQ(FormatWide(L"%lld/sec.", 10000000LL), L"10000000/sec.");
}

TEST(FileLogger, WritesUtf8WithCrLfAndFlushesEveryMessage) {
    TempFolder folder;
    const auto path = folder.Path() / "Tollgate.log";
    auto logger = std::make_unique<FileLogger>(path.wstring());
    ASSERT_TRUE(logger->IsOpen());
    auto previous = InstallLogger(std::move(logger));
    LogMessage(L"Layout \"%ls\" loaded.\n", L"\u00c5rhus \u65e5\u672c");
    // Read back while the logger still holds the file open: flushed already.
    EXPECT_EQ(ReadFileBytes(path), "Layout \"\xc3\x85rhus \xe6\x97\xa5\xe6\x9c\xac\" loaded.\r\n");
    InstallLogger(std::move(previous));
}

TEST(FileLogger, UnopenableFileDropsMessagesSilently) {
    TempFolder folder;
    FileLogger logger((folder.Path() / "missing" / "x.log").wstring());
    EXPECT_FALSE(logger.IsOpen());
    auto previous =
        InstallLogger(std::make_unique<FileLogger>((folder.Path() / "no" / "y").wstring()));
    LogMessage(L"nowhere\n");
    InstallLogger(std::move(previous));
}

TEST(FileLogger, MessagesFromManyThreadsNeverInterleave) {
    TempFolder folder;
    const auto path = folder.Path() / "threads.log";
    auto previous = InstallLogger(std::make_unique<FileLogger>(path.wstring()));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i) {
                LogMessage(L"thread %d message %03d ----------------------------------------\n", t,
                           i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    InstallLogger(std::move(previous));
    const std::string text = ReadFileBytes(path);
    size_t lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.size(), 61u) << line;
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, 800u);
}

TEST(Utf8, RoundTripsAndReplacesMalformedBytes) {
    const std::wstring text = L"a\u00ff\u20ac\U0001F600z";
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
    EXPECT_EQ(DecodeUtf8("\x80"), L"\uFFFD");
    EXPECT_EQ(DecodeUtf8("\xc0\xaf"), L"\uFFFD\uFFFD");           // overlong slash
    EXPECT_EQ(DecodeUtf8("\xed\xa0\x80"), L"\uFFFD\uFFFD\uFFFD"); // encoded surrogate
    EXPECT_EQ(DecodeUtf8("\xe2\x82"), L"\uFFFD\uFFFD");           // truncated at the end
    EXPECT_EQ(DecodeUtf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf16, DecodesBothByteOrdersAndKeepsLoneSurrogates) {
    EXPECT_EQ(DecodeUtf16(std::string("A\0\xac\x20", 4), false), L"A\u20ac");
    EXPECT_EQ(DecodeUtf16(std::string("\0A\x20\xac", 4), true), L"A\u20ac");
    // U+1F600 as a pair, then a lone high surrogate, then an odd trailing byte.
    const std::wstring text = DecodeUtf16(std::string("\x3d\xd8\x00\xde\x3d\xd8x", 7), false);
    ASSERT_EQ(EncodeUtf8(text.substr(0, text.size() - 1)), "\xf0\x9f\x98\x80");
    EXPECT_EQ(static_cast<unsigned>(text.back()), 0xD83Du);
}
