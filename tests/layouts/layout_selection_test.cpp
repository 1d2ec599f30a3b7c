#include "layouts/default_layout.h"
#include "layouts/layout_parser.h"
#include "layouts/layout_selection.h"

#include "layouts/key_names.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kKeys = "\nR1, 0x1E, \"A\", \"A\", 1\n";

void WriteLayout(const std::filesystem::path& path, const std::string& firstLine) {
    WriteFileBytes(path, firstLine + "\n" + kKeys);
}

std::wstring Str(const std::filesystem::path& path) {
    return path.wstring();
}

std::vector<std::wstring> Names(const LayoutLibrary& library) {
    std::vector<std::wstring> names;
    for (const auto& entry : library.Entries()) {
        names.push_back(entry.name);
    }
    return names;
}

class RecordingStatus final : public StatusLabel {
public:
    int textId = -1;
    Colour colour = 0;
    bool visible = false;
    int redraws = 0;
    void SetStatusText(int id, Colour textColour) override {
        textId = id;
        colour = textColour;
        ++redraws;
    }
    void Show(bool show) override { visible = show; }
};

// The page with a real layout behind it; every other effect is recorded.
class FakeLayoutPage final : public LayoutPage {
public:
    KeyboardLayout layout;
    KeyNameTable names;
    bool defaultBroken = false;
    int resets = 0;
    int logClears = 0;
    int logStatusHides = 0;
    int fieldClears = 0;
    int posts = 0;
    int focus = 0;
    int highlighted = -2;
    bool captionVisible = false;
    RecordingStatus status;

    bool LoadLayoutFile(const std::wstring& path) override {
        return ::LoadLayoutFile(path, 36, layout, names);
    }
    bool LoadLayoutString(const std::wstring& text) override {
        return ::LoadLayoutText(defaultBroken ? std::wstring() : text, 36, layout, names);
    }
    void ResetKeyStates() override { ++resets; }
    void EmptyEventLog() override { ++logClears; }
    void HideLogStatus() override { ++logStatusHides; }
    void ClearLastKeyFields() override { ++fieldClears; }
    StatusLabel& LayoutStatusText() override { return status; }
    void ShowStatusCaption(bool visible) override { captionVisible = visible; }
    void PostLayoutChanged() override { ++posts; }
    void HighlightLayoutEntry(int index) override { highlighted = index; }
    void FocusPage() override { ++focus; }
};

class LayoutSelectionFixture : public ::testing::Test {
protected:
    void SetUp() override { selector_.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI"); }
    void Build() { selector_.BuildLibrary(Str(folder_.Path()), ReadLayoutName); }

    TempFolder folder_;
    LayoutSelector selector_;
    FakeLayoutPage page_;
    std::wstring lastLayout_;
};

TEST(LayoutNameOrder, Utf16CodeUnitsOrdinal) {
    EXPECT_TRUE(LayoutNameLess(L"Zeta", L"alpha"));
    EXPECT_TRUE(LayoutNameLess(L"104 Key ANSI", L"Zeta"));
    EXPECT_FALSE(LayoutNameLess(L"a", L"a"));
    EXPECT_TRUE(LayoutNameLess(L"ab", L"abc"));
    // A character beyond the basic plane is a surrogate pair (0xD83D...), which sorts before
    // U+FF21 even though its code point is larger.
    EXPECT_TRUE(LayoutNameLess(L"\U0001F600", L"\uFF21"));
    EXPECT_FALSE(LayoutNameLess(L"\uFF21", L"\U0001F600"));
}

TEST_F(LayoutSelectionFixture, LibraryFromTheFolder) {
    WriteLayout(folder_.Path() / "b.kbl", "Zeta");
    WriteLayout(folder_.Path() / "a.kbl", "alpha,4");
    WriteLayout(folder_.Path() / "c.KBL", "My Board,4");
    WriteFileBytes(folder_.Path() / "empty.kbl", "\n" + kKeys);
    WriteLayout(folder_.Path() / "notes.txt", "Not a layout");
    std::filesystem::create_directory(folder_.Path() / "dir.kbl");
    Build();
    EXPECT_EQ(Names(selector_.Library()),
              (std::vector<std::wstring>{L"104 Key ANSI", L"My Board", L"Zeta", L"alpha"}));
    const auto& entries = selector_.Library().Entries();
    EXPECT_EQ(entries[0].path, kDefaultLayoutMarker);
    EXPECT_EQ(std::filesystem::path(entries[2].path), folder_.Path() / "b.kbl");
    EXPECT_EQ(selector_.Library().IndexOfPath(entries[3].path), 3);
    EXPECT_EQ(selector_.Library().IndexOfPath(L"elsewhere.kbl"), -1);
    EXPECT_EQ(selector_.Library().At(4), nullptr);
    EXPECT_EQ(selector_.Library().At(-1), nullptr);
}

TEST_F(LayoutSelectionFixture, MissingOrLongFolders) {
    selector_.BuildLibrary(Str(folder_.Path() / "missing"), ReadLayoutName);
    EXPECT_EQ(Names(selector_.Library()), std::vector<std::wstring>{L"104 Key ANSI"});
    selector_.BuildLibrary(L"", ReadLayoutName);
    EXPECT_EQ(Names(selector_.Library()), std::vector<std::wstring>{L"104 Key ANSI"});

    // A folder path well beyond 259 characters is used whole, never cut into another folder.
    auto deep = folder_.Path();
    for (int i = 0; i < 4; ++i) {
        deep /= std::string(80, static_cast<char>('k' + i));
    }
    std::filesystem::create_directories(deep);
    WriteLayout(folder_.Path() / "top.kbl", "Top");
    WriteLayout(deep / "deep.kbl", "Deep");
    ASSERT_GT(Str(deep).size(), 259u);
    selector_.BuildLibrary(Str(deep), ReadLayoutName);
    const auto names = Names(selector_.Library());
#ifdef _WIN32
    // Without long-path support the platform cannot list such a folder; what matters is that
    // no other folder's layouts appear in its place.
    EXPECT_TRUE(names == (std::vector<std::wstring>{L"104 Key ANSI", L"Deep"}) ||
                names == std::vector<std::wstring>{L"104 Key ANSI"});
#else
    EXPECT_EQ(names, (std::vector<std::wstring>{L"104 Key ANSI", L"Deep"}));
#endif
}

TEST_F(LayoutSelectionFixture, SelectingAFileAndThenKeys) {
    WriteLayout(folder_.Path() / "a.kbl", "alpha");
    Build();
    const std::wstring path = selector_.Library().At(1)->path;
    CapturedLog log;
    EXPECT_TRUE(selector_.SelectLayout(page_, path, lastLayout_));
    EXPECT_NE(log.Text().find(L"Loaded selected layout.\nUpdateLayoutStatus()\n"),
              std::wstring::npos);
    EXPECT_EQ(page_.layout.name, L"alpha");
    EXPECT_EQ(selector_.Status(), LayoutStatusCleared);
    EXPECT_EQ(page_.status.textId, 152);
    EXPECT_EQ(page_.status.colour, MakeColour(220, 220, 220));
    EXPECT_TRUE(page_.status.visible);
    EXPECT_TRUE(page_.captionVisible);
    EXPECT_EQ(page_.resets, 1);
    EXPECT_EQ(page_.logClears, 1);
    EXPECT_EQ(page_.logStatusHides, 1);
    EXPECT_EQ(page_.fieldClears, 1);
    EXPECT_EQ(page_.posts, 1);
    EXPECT_EQ(page_.highlighted, 1);
    EXPECT_EQ(lastLayout_, path);

    selector_.OnKeyPress(page_);
    EXPECT_EQ(page_.status.textId, 153);
    const int redraws = page_.status.redraws;
    selector_.OnKeyPress(page_);
    EXPECT_EQ(page_.status.redraws, redraws); // further presses do not redraw
}

TEST_F(LayoutSelectionFixture, DeletedFileFallsBackToTheDefault) {
    WriteLayout(folder_.Path() / "a.kbl", "alpha");
    Build();
    const std::wstring path = selector_.Library().At(1)->path;
    std::filesystem::remove(path);
    CapturedLog log;
    EXPECT_FALSE(selector_.SelectLayout(page_, path, lastLayout_));
    EXPECT_NE(log.Text().find(L"Failed to load selected layout, fell back to default.\n"),
              std::wstring::npos);
    EXPECT_EQ(page_.layout.name, L"104 Key ANSI");
    EXPECT_EQ(page_.layout.keys.size(), 104u);
    EXPECT_EQ(selector_.Status(), LayoutStatusDefaultCleared);
    EXPECT_EQ(page_.status.textId, 154);
    EXPECT_EQ(page_.status.colour, MakeColour(255, 0, 0));
    EXPECT_EQ(lastLayout_, kDefaultLayoutMarker);
    EXPECT_EQ(page_.highlighted, 0);

    selector_.OnKeyPress(page_);
    EXPECT_EQ(selector_.Status(), LayoutStatusDefaultActive);
    EXPECT_EQ(page_.status.textId, 155);
    EXPECT_EQ(page_.status.colour, MakeColour(220, 220, 220));
    selector_.ClearKeyboardDisplay(page_);
    EXPECT_EQ(selector_.Status(), LayoutStatusDefaultCleared);
}

TEST_F(LayoutSelectionFixture, NothingLoadable) {
    page_.defaultBroken = true;
    lastLayout_ = L"before";
    CapturedLog log;
    EXPECT_FALSE(selector_.SelectLayout(page_, Str(folder_.Path() / "gone.kbl"), lastLayout_));
    EXPECT_NE(log.Text().find(L"Failed to load selected layout, failed to load default.\n"),
              std::wstring::npos);
    EXPECT_EQ(selector_.Status(), LayoutStatusNoLayout);
    EXPECT_EQ(page_.status.textId, 156);
    EXPECT_EQ(lastLayout_, L"");
    EXPECT_EQ(page_.highlighted, -2);
    EXPECT_EQ(page_.posts, 1);
    selector_.OnKeyPress(page_);
    EXPECT_EQ(selector_.Status(), LayoutStatusNoLayout);

    log.Clear();
    EXPECT_FALSE(selector_.SelectLayout(page_, kDefaultLayoutMarker, lastLayout_));
    EXPECT_NE(log.Text().find(L"Unable to load default layout (last layout).\n"),
              std::wstring::npos);
    EXPECT_EQ(lastLayout_, kDefaultLayoutMarker);
}

TEST_F(LayoutSelectionFixture, HighlightsTheLoadedEntryNotAPrefixMatch) {
    WriteLayout(folder_.Path() / "a.kbl", "ANSI Compact");
    WriteLayout(folder_.Path() / "b.kbl", "ANSI");
    WriteLayout(folder_.Path() / "c.kbl", "ansi");
    Build();
    const auto& entries = selector_.Library().Entries();
    ASSERT_EQ(Names(selector_.Library()),
              (std::vector<std::wstring>{L"104 Key ANSI", L"ANSI", L"ANSI Compact", L"ansi"}));
    selector_.SelectLayout(page_, entries[3].path, lastLayout_);
    EXPECT_EQ(page_.highlighted, 3);
    EXPECT_EQ(page_.layout.name, L"ansi");

    // A file outside the folder leaves the highlight alone.
    WriteLayout(folder_.Path() / "outside.txt", "Outside");
    page_.highlighted = -2;
    EXPECT_TRUE(selector_.SelectLayout(page_, Str(folder_.Path() / "outside.txt"), lastLayout_));
    EXPECT_EQ(page_.highlighted, -2);
}

TEST_F(LayoutSelectionFixture, SelectionChangeFocusesThePage) {
    WriteLayout(folder_.Path() / "a.kbl", "alpha");
    Build();
    selector_.OnSelectionChange(page_, -1, lastLayout_);
    EXPECT_EQ(page_.focus, 1);
    EXPECT_EQ(page_.posts, 0);
    selector_.OnSelectionChange(page_, 1, lastLayout_);
    EXPECT_EQ(page_.focus, 2);
    EXPECT_EQ(page_.layout.name, L"alpha");
    EXPECT_EQ(lastLayout_, selector_.Library().At(1)->path);
}

TEST(LayoutStatusTable, Transitions) {
    const int afterClear[] = {0, 2, 2, 2, 5, 5, 6, 5};
    const int afterKey[] = {0, 3, 3, 3, 7, 7, 6, 7};
    for (int status = 0; status <= 7; ++status) {
        EXPECT_EQ(LayoutStatusAfterClear(status), afterClear[status]) << status;
        EXPECT_EQ(LayoutStatusAfterKeyPress(status), afterKey[status]) << status;
    }
    LayoutStatusDisplay display;
    EXPECT_FALSE(DescribeLayoutStatus(0, display));
    EXPECT_FALSE(DescribeLayoutStatus(8, display));
    EXPECT_TRUE(DescribeLayoutStatus(5, display));
    EXPECT_EQ(LayoutStatusTextDefault(display.textId), L"Invalid layout!  Default Loaded");
    EXPECT_TRUE(DescribeLayoutStatus(6, display));
    EXPECT_EQ(display.colour, 0x0000FFu);

    FakeLayoutPage page;
    LayoutSelector selector;
    CapturedLog log;
    page.status.visible = true;
    page.captionVisible = true;
    selector.UpdateLayoutStatus(page);
    EXPECT_EQ(log.Text(), L"UpdateLayoutStatus()\n   None loaded.\n");
    EXPECT_FALSE(page.status.visible);
    EXPECT_FALSE(page.captionVisible);
}

} // namespace
