#include "session/test_plan.h"

#include "layouts/default_layout.h"
#include "layouts/layout_library.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Failure(const std::string& text) {
    TestPlan plan;
    PlanError error;
    EXPECT_FALSE(ParseTestPlan(text, plan, error)) << text;
    return error.Text();
}

} // namespace

TEST(TestPlan, EveryFieldIsRead) {
    const std::string text =
        "\xEF\xBB\xBF{\"name\": \"Model X ISO\", \"layout\": \"iso_uk_105.kbl\",\n"
        " \"threshold_ms\": 8, \"presses\": 2,\n"
        " \"keys\": {\"0x0039\": {\"threshold_ms\": 20.5, \"presses\": 3}, \"0xe01c\": {}},\n"
        " \"skip\": [\"0xE05D\", \"0x1\", \"0xE05D\"], \"time_limit_s\": 120, \"min_rollover\": 6}";
    TestPlan plan;
    PlanError error;
    ASSERT_TRUE(ParseTestPlan(text, plan, error)) << error.Text();
    EXPECT_EQ(plan.name, L"Model X ISO");
    EXPECT_EQ(plan.layout, L"iso_uk_105.kbl");
    EXPECT_EQ(plan.thresholdUs, 8000);
    EXPECT_EQ(plan.presses, 2u);
    EXPECT_EQ(plan.skip, (std::vector<ScanCode>{0x01, 0xE05D}));
    EXPECT_EQ(plan.timeLimitUs, 120000000);
    EXPECT_EQ(plan.minRollover, 6u);
    // Per-key rules win; a key without its own rule takes the plan's.
    EXPECT_EQ(plan.ThresholdUsFor(0x39, 1), 20500);
    EXPECT_EQ(plan.PressesFor(0x39), 3u);
    EXPECT_EQ(plan.ThresholdUsFor(0xE01C, 1), 8000);
    EXPECT_EQ(plan.PressesFor(0xE01C), 2u);
    EXPECT_EQ(plan.PressesFor(0x1E), 2u);
    EXPECT_TRUE(plan.IsSkipped(0xE05D));
    EXPECT_FALSE(plan.IsSkipped(0x39));
    EXPECT_TRUE(plan.HasKeyThresholds());
}

TEST(TestPlan, OnlyTheLayoutIsRequired) {
    TestPlan plan;
    PlanError error;
    ASSERT_TRUE(ParseTestPlan(R"({"layout": "default"})", plan, error));
    EXPECT_FALSE(plan.thresholdUs.has_value());
    EXPECT_EQ(plan.ThresholdUsFor(0x39, 7000), 7000); // the program's threshold
    EXPECT_EQ(plan.PressesFor(0x39), 1u);
    EXPECT_EQ(plan.timeLimitUs, 0);
    EXPECT_EQ(plan.minRollover, 0u);
    EXPECT_FALSE(plan.HasKeyThresholds());

    EXPECT_EQ(Failure("{}"), "layout: missing: give a layout file name, a path or \"default\"");
    EXPECT_EQ(Failure(R"({"layout": ""})"),
              "line 1, column 12: layout: is empty: give a layout file name, a path or "
              "\"default\"");
}

TEST(TestPlan, BadValuesNameTheirFieldAndPlace) {
    EXPECT_EQ(Failure("{\"layout\": \"x.kbl\",\n  \"threshold_ms\": -1}"),
              "line 2, column 19: threshold_ms: must be a number of milliseconds from 0 to 60000");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "threshold_ms": "8"})"),
              "line 1, column 37: threshold_ms: must be a number of milliseconds from 0 to 60000");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "presses": 0})"),
              "line 1, column 32: presses: must be a whole number from 1 to 1000");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "presses": 1.5})"),
              "line 1, column 32: presses: must be a whole number from 1 to 1000");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "time_limit_s": 0})"),
              "line 1, column 37: time_limit_s: must be a number of seconds above 0, at most "
              "86400");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "min_rollover": 257})"),
              "line 1, column 37: min_rollover: must be a whole number of keys from 1 to 256");
    EXPECT_EQ(Failure(R"({"layout": 5})"),
              "line 1, column 12: layout: must be a text in double quotes");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "name": null})"),
              "line 1, column 29: name: must be a text in double quotes");
    EXPECT_EQ(Failure("[1]"),
              "line 1, column 1: a plan is a JSON object: {\"layout\": \"...\", ...}");
}

TEST(TestPlan, KeysAndSkipTakeScanCodesAsTheLayoutFilesWriteThem) {
    EXPECT_EQ(Failure("{\"layout\": \"x.kbl\", \"keys\": {\n  \"space\": {\"presses\": 2}}}"),
              "line 2, column 3: keys.space: is not a scan code: write it as the layout files "
              "do, such as \"0x0039\" or \"0xE05D\"");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0x10000": {}}})"),
              "line 1, column 30: keys.0x10000: is not a scan code: write it as the layout files "
              "do, such as \"0x0039\" or \"0xE05D\"");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0x39": {}, "0x0039": {}}})"),
              "line 1, column 42: keys.0x0039: names the same key as another entry of keys");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0x39": {"presses": 0}}})"),
              "line 1, column 50: keys.0x39.presses: must be a whole number from 1 to 1000");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0x39": 3}})"),
              "line 1, column 38: keys.0x39: must be an object with threshold_ms, presses or "
              "both");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": []})"),
              "line 1, column 29: keys: must be an object whose names are scan codes, such as "
              "{\"0x0039\": {\"presses\": 3}}");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "skip": ["0xE05D", 93]})"),
              "line 1, column 40: skip[1]: is not a scan code: write it as the layout files do, "
              "such as \"0x0039\" or \"0xE05D\"");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "skip": "0xE05D"})"),
              "line 1, column 29: skip: must be a list of scan codes, such as [\"0xE05D\"]");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0xE05D": {}}, "skip": ["0xe05d"]})"),
              "line 1, column 54: skip[0]: is also given rules in keys: a key is either tested "
              "or skipped");
}

TEST(TestPlan, UnknownAndRepeatedFieldsAreErrors) {
    // A misspelt rule must not be silently ignored: the nearest field is suggested.
    EXPECT_EQ(Failure("{\"layout\": \"x.kbl\",\n \"treshold_ms\": 20}"),
              "line 2, column 2: treshold_ms: unknown field (did you mean \"threshold_ms\"?)");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "colour": 1})"),
              "line 1, column 21: colour: unknown field (known fields: name, layout, "
              "threshold_ms, presses, keys, skip, time_limit_s, min_rollover)");
    EXPECT_EQ(Failure(R"({"layout": "x.kbl", "keys": {"0x39": {"press": 3}}})"),
              "line 1, column 39: keys.0x39.press: unknown field (did you mean \"presses\"?)");
    EXPECT_EQ(Failure("{\"layout\": \"x.kbl\",\n\"presses\": 2, \"presses\": 3}"),
              "line 2, column 15: presses: given twice");
}

TEST(TestPlan, SyntaxErrorsGiveTheirLineAndColumn) {
    EXPECT_EQ(Failure("{\"layout\": \"x.kbl\",\n  \"presses\": 2,\n}"),
              "line 3, column 1: invalid JSON: syntax error while parsing object key - "
              "unexpected '}'; expected string literal");
    EXPECT_EQ(Failure(""), "line 1, column 1: invalid JSON: syntax error while parsing value - "
                           "unexpected end of input; expected '[', '{', or a literal");
    EXPECT_EQ(Failure(std::string(100, '[') + std::string(100, ']')),
              "invalid JSON: nesting deeper than 16 levels");
}

TEST(TestPlan, FileReadingNamesThePlanAndItsLayout) {
    TempFolder folder;
    const auto planPath = folder.Path() / "Model X.plan.json";
    WriteFileBytes(planPath, R"({"layout": "iso.kbl"})");
    TestPlan plan;
    std::wstring message;
    ASSERT_TRUE(LoadTestPlanFile(planPath.wstring(), plan, message)) << message.c_str();
    EXPECT_EQ(plan.name, L"Model X"); // no name field: the file name

    WriteFileBytes(folder.Path() / "bad.plan.json", R"({"layout": "x", "presses": -2})");
    EXPECT_FALSE(LoadTestPlanFile((folder.Path() / "bad.plan.json").wstring(), plan, message));
    EXPECT_EQ(message,
              L"bad.plan.json: line 1, column 28: presses: must be a whole number from 1 to 1000");
    EXPECT_EQ(plan.name, L"Model X"); // untouched
    const std::wstring missing = (folder.Path() / "none.plan.json").wstring();
    EXPECT_FALSE(LoadTestPlanFile(missing, plan, message));
    EXPECT_EQ(message, missing + L": no such file");
    std::filesystem::create_directory(folder.Path() / "dir.plan.json");
    EXPECT_FALSE(LoadTestPlanFile((folder.Path() / "dir.plan.json").wstring(), plan, message));
    EXPECT_EQ(message, L"dir.plan.json: is a folder, not a plan file");

    // A bare file name comes from the layout folder when it is there, else from beside the
    // plan; a relative path from the plan's folder.
    const auto layouts = folder.Path() / "layouts";
    std::filesystem::create_directory(layouts);
    WriteFileBytes(layouts / "iso.kbl", "ISO\n");
    EXPECT_EQ(ResolvePlanLayout(plan, planPath.wstring(), layouts.wstring()),
              (layouts / "iso.kbl").wstring());
    EXPECT_EQ(ResolvePlanLayout(plan, planPath.wstring(), (folder.Path() / "none").wstring()),
              (folder.Path() / "iso.kbl").wstring());
    plan.layout = L"sub/iso.kbl";
    EXPECT_EQ(ResolvePlanLayout(plan, planPath.wstring(), layouts.wstring()),
              (folder.Path() / "sub/iso.kbl").wstring());
    plan.layout = (layouts / "iso.kbl").wstring();
    EXPECT_EQ(ResolvePlanLayout(plan, planPath.wstring(), L""), plan.layout);
    plan.layout = L"default";
    EXPECT_EQ(ResolvePlanLayout(plan, planPath.wstring(), layouts.wstring()), kDefaultLayoutMarker);
}

TEST(TestPlan, PlansShareTheLayoutFolderButAreNotListedAsLayouts) {
    TempFolder folder;
    WriteFileBytes(folder.Path() / "board.json", "[[\"Q\"]]");
    WriteFileBytes(folder.Path() / "board.kbl", "Board\n");
    WriteFileBytes(folder.Path() / "b.plan.json", R"({"layout": "board.kbl"})");
    WriteFileBytes(folder.Path() / "A.PLAN.JSON", R"({"layout": "board.kbl"})");
    std::vector<std::wstring> layouts = FindLayoutFiles(folder.Path().wstring());
    std::sort(layouts.begin(), layouts.end());
    EXPECT_EQ(layouts, (std::vector<std::wstring>{(folder.Path() / "board.json").wstring(),
                                                  (folder.Path() / "board.kbl").wstring()}));
    EXPECT_EQ(FindPlanFiles(folder.Path().wstring()),
              (std::vector<std::wstring>{(folder.Path() / "A.PLAN.JSON").wstring(),
                                         (folder.Path() / "b.plan.json").wstring()}));
}
