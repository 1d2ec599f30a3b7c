#include "report/report_model.h"

#include "layouts/key_names.h"
#include "layouts/layout_parser.h"

#include <gtest/gtest.h>

namespace {

// Labels and names as a user's layout file may have them: a comma and quotes, a formula, an
// ampersand, a line break, markup.
const wchar_t kLayoutText[] = L"Shop <b>&</b> \"board\"\n"
                              L"R1, 0x1E, \"A, \"\"quoted\"\"\", \"\", 1\n"
                              L"R1, 0x1F, \"=SUM(A1:A9)\", \"-minus\", 1\n"
                              L"R1, 0x20, \"Fn & Lock\", \"@home\", 1\n"
                              L"R1, 0x21, \"Print\\nScrn\", \"\", 1\n"
                              L"R1, 0x22, \"<script>alert(1)</script>\", \"+plus\", 1";

class ReportTest : public ::testing::Test {
protected:
    ReportTest() {
        EXPECT_TRUE(LoadLayoutText(kLayoutText, 36, layout, names));
        context.layoutName = layout.name;
        context.threshold = 8;
        context.interfaceText = L"USB";
        context.deviceText = L"USB ID:  003";
        context.inputLanguage = L"0409 (English)";
        context.dateTime = L"2026-12-07 13:45:06";
        context.programVersion = L"1.0.2.2910";
    }

    TestReport Build() { return BuildTestReport(layout, statistics, names.Entries(), context); }

    KeyboardLayout layout;
    KeyNameTable names;
    KeyStatistics statistics;
    ReportContext context;
};

LayoutKey& KeyAt(KeyboardLayout& layout, std::size_t index) {
    auto key = layout.keys.begin();
    std::advance(key, index);
    return *key;
}

} // namespace

TEST_F(ReportTest, CsvHasTheHeaderOneRowPerKeyThenExtrasQuotedAndGuarded) {
    KeyAt(layout, 0).state = Pressed;
    KeyAt(layout, 1).state = Alarm;
    KeyAt(layout, 2).state = AlarmDepressed;
    KeyAt(layout, 3).state = Depressed;
    statistics.OnPress(0x1E);
    statistics.OnRelease(0x1E, 94999); // microseconds
    statistics.OnPress(0x1F);
    statistics.OnChatter(0x1F, 1000000, 7999);
    statistics.OnPress(0x1F);
    statistics.OnPress(0x58); // F12: not on this layout
    statistics.OnPress(0x57); // F11
    const std::string csv = WriteReportCsv(Build());
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "Scan code,Name,Label,On layout,State,Presses,Chatter,Shortest chatter (ms),"
              "Shortest hold (ms),Longest hold (ms)\r\n"
              "0x001E,\"A, \"\"quoted\"\"\",\"A, \"\"quoted\"\"\",yes,good,1,0,,94.99,94.99\r\n"
              "0x001F,'-minus,'=SUM(A1:A9),yes,faulty,2,1,7.99,,\r\n"
              "0x0020,'@home,Fn & Lock,yes,faulty held,0,0,,,\r\n"
              "0x0021,Print Scrn,Print Scrn,yes,held,0,0,,,\r\n"
              "0x0022,'+plus,<script>alert(1)</script>,yes,untested,0,0,,,\r\n"
              "0x0057,F11,,no,,1,0,,,\r\n"
              "0x0058,F12,,no,,1,0,,,\r\n");
}

TEST_F(ReportTest, HtmlEscapesUserTextAndFetchesNothing) {
    const std::string html = WriteReportHtml(Build());
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("Shop &lt;b&gt;&amp;&lt;/b&gt; &quot;board&quot;"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    // Nothing external: no links, images, style sheets or frames.
    for (const char* external : {" src=", " href=", "url(", "@import", "<link", "<iframe"}) {
        EXPECT_EQ(html.find(external), std::string::npos) << external;
    }
    // The two-line label becomes two text lines of its key.
    EXPECT_NE(html.find(">Print<tspan x=\"126\" dy=\"12\">Scrn</tspan></text>"), std::string::npos);
}

TEST_F(ReportTest, HtmlShowsTheVerdictKeysInTheirColoursAndTheContext) {
    context.colours = StateColours{MakeColour(1, 2, 3), MakeColour(4, 5, 6), MakeColour(7, 8, 9),
                                   MakeColour(10, 11, 12)};
    KeyAt(layout, 0).state = Pressed;
    KeyAt(layout, 1).state = Alarm;
    KeyAt(layout, 2).state = AlarmDepressed;
    std::string html = WriteReportHtml(Build());
    EXPECT_NE(html.find("<p class=\"verdict fail\">FAIL: 2 faulty, 2 untested</p>"),
              std::string::npos);
    EXPECT_NE(html.find("fill=\"#070809\""), std::string::npos); // good
    EXPECT_NE(html.find("fill=\"#0a0b0c\""), std::string::npos); // faulty
    EXPECT_NE(html.find("fill=\"#040506\""), std::string::npos); // faulty and held
    EXPECT_NE(html.find("fill=\"#010203\""), std::string::npos); // untested
    for (const char* text :
         {"<th>Chatter threshold</th><td>8 ms</td>", "<th>Interface</th><td>USB</td>",
          "<th>Device</th><td>USB ID:  003</td>", "<th>Input language</th><td>0409 (English)</td>",
          "<th>Date and time</th><td>2026-12-07 13:45:06</td>",
          "<th>Program version</th><td>1.0.2.2910</td>"}) {
        EXPECT_NE(html.find(text), std::string::npos) << text;
    }

    for (LayoutKey& key : layout.keys) {
        key.state = Pressed;
    }
    html = WriteReportHtml(Build());
    EXPECT_NE(html.find("<p class=\"verdict pass\">PASS: all 5 keys tested, none faulty</p>"),
              std::string::npos);
}

TEST_F(ReportTest, ChatterEventsAreListedWithTheirTimeOfDay) {
    statistics.OnPress(0x1E);
    statistics.OnChatter(0x1E, 1000000, 5000);
    statistics.OnChatter(0x1E, 61000000, 3250);
    // The clock read 61.5 s at 00:00:30.000: the first event lies before midnight.
    context.clockNow = 61500000;
    context.timeOfDayNow = 30000;
    const TestReport report = Build();
    ASSERT_EQ(report.chatterEvents.size(), 2u);
    EXPECT_EQ(FormatTimeOfDay(report.chatterEvents[0].timeOfDay), "23:59:29.500");
    EXPECT_EQ(FormatTimeOfDay(report.chatterEvents[1].timeOfDay), "00:00:29.500");
    const std::string html = WriteReportHtml(report);
    EXPECT_NE(html.find("<tr><td>23:59:29.500</td><td>A, &quot;quoted&quot;</td><td>0x001E</td>"
                        "<td class=\"n\">5.00</td></tr>"),
              std::string::npos);
}

TEST(ReportVerdict, PassOnlyWhenEveryKeyIsTestedAndNoneFaulty) {
    EXPECT_EQ(VerdictLine({104, 104, 0}), L"PASS: all 104 keys tested, none faulty");
    EXPECT_EQ(VerdictLine({104, 101, 2}), L"FAIL: 2 faulty, 3 untested");
    EXPECT_EQ(VerdictLine({104, 104, 1}), L"FAIL: 1 faulty, 0 untested");
    EXPECT_EQ(VerdictLine({0, 0, 0}), L"FAIL: 0 faulty, 0 untested");
    EXPECT_EQ(PrintedLabel(L"Fn && Lock&&"), L"Fn & Lock&");
}

TEST(ReportTimes, MicrosecondsShowAsMillisecondsWithTwoDecimalsTruncated) {
    EXPECT_EQ(FormatMilliseconds(7999), L"7.99");
    EXPECT_EQ(FormatMilliseconds(8000), L"8.00");
    EXPECT_EQ(FormatMilliseconds(0), L"0.00");
    EXPECT_EQ(FormatMilliseconds(123456789), L"123456.78");
    EXPECT_EQ(FormatMilliseconds(-1500), L"-1.50");
    EXPECT_EQ(FormatMilliseconds(-500), L"-0.50");
    EXPECT_EQ(FormatMilliseconds(INT64_MIN), L"-9223372036854775.80");
}
