// Layout files of the layout folder: .json descriptions listed and loaded through the
// importer, the reason a load failed, the line that tells the user, and the key size that
// makes a layout fit the screen.
#include "layouts/layout_file_load.h"
#include "layouts/layout_lookup.h"

#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/layout_fit.h"
#include "layouts/layout_library.h"
#include "layouts/layout_selection.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Data(const char* file) {
    return ReadFileBytes(std::string(TAPWISE_SOURCE_DIR "/tests/layouts/import/") + file);
}

struct FileLoad {
    bool loaded = false;
    KeyboardLayout layout;
    LayoutLoadFailure failure;
    std::wstring log;
};

FileLoad Load(const fs::path& path) {
    FileLoad result;
    KeyNameTable names;
    CapturedLog log;
    result.loaded = LoadAnyLayoutFile(path.wstring(), 36, result.layout, names, &result.failure);
    result.log = log.Text();
    return result;
}

class LayoutFolderFixture : public ::testing::Test {
protected:
    fs::path Write(const char* name, const std::string& bytes) {
        const fs::path path = folder_.Path() / name;
        WriteFileBytes(path, bytes);
        return path;
    }
    TempFolder folder_;
};

} // namespace

TEST_F(LayoutFolderFixture, JsonFilesAreListedWithTheirConvertedNames) {
    Write("kle.json", Data("kle_ansi_104.json"));
    Write("qmk.JSON", Data("qmk_65_info.json"));
    Write("broken.json", "[[\"A\",");
    Write("text.kbl", "Plain\nR1, 0x1E, \"A\", \"A\", 1\n");
    Write("notes.txt", "not a layout");
    std::vector<std::wstring> files = FindLayoutFiles(folder_.Path().wstring());
    EXPECT_EQ(files.size(), 4u);
    std::vector<std::wstring> names;
    for (const std::wstring& file : files) {
        names.push_back(ReadAnyLayoutName(file));
    }
    std::sort(names.begin(), names.end());
    // A file that cannot be converted is listed by its file name: choosing it says why.
    EXPECT_EQ(names, (std::vector<std::wstring>{L"104 Key ANSI", L"Plain",
                                                L"Tapwise65 LAYOUT_65_ansi", L"broken.json"}));
}

TEST_F(LayoutFolderFixture, JsonLoadsThroughTheImporter) {
    const FileLoad kle = Load(Write("board.json", Data("kle_ansi_104.json")));
    ASSERT_TRUE(kle.loaded) << kle.log;
    EXPECT_EQ(kle.layout.keys.size(), 104u);
    EXPECT_EQ(kle.layout.width, 828);
    EXPECT_EQ(kle.failure.reason, L"");

    const FileLoad qmk = Load(Write("info.json", Data("qmk_65_info.json")));
    ASSERT_TRUE(qmk.loaded) << qmk.log;
    EXPECT_EQ(qmk.layout.name, L"Tapwise65 LAYOUT_65_ansi");
    EXPECT_EQ(qmk.layout.keys.size(), 67u);
    // The blank Fn place is named in the diagnostic log.
    EXPECT_NE(qmk.log.find(L"   no scan code for 'Fn' at (11, 4): left blank\n"),
              std::wstring::npos)
        << qmk.log;
}

TEST_F(LayoutFolderFixture, FailuresSayWhy) {
    struct Case {
        const char* file;
        std::string bytes;
        std::wstring line;
    };
    const Case cases[] = {
        {"rows.kbl", "Rows\nR1, 0x1E, \"A\", \"A\", 1\n\nR9, 0x1F, \"S\", \"S\", 1\n",
         L"Layout \"rows.kbl\" not loaded: line 4: Invalid row field."},
        {"fields.kbl", "Fields\nR1, 0x1E, \"A\"\n",
         L"Layout \"fields.kbl\" not loaded: line 2: Invalid line, wrong number of fields."},
        {"version.kbl", "Version,5\nR1, 0x1E, \"A\", \"A\", 1\n",
         L"Layout \"version.kbl\" not loaded: line 2: Unknown version number (5)."},
        {"v3.kbl", "Old,3\n0x1E, \"A\"\n", L"Layout \"v3.kbl\" not loaded: line 2: Line invalid."},
        {"empty.kbl", "Only a name\n", L"Layout \"empty.kbl\" not loaded: no keys in the layout"},
        {"bad.json", "[[\"A\",\n  x]]",
         L"Layout \"bad.json\" not loaded: invalid JSON at line 2, column 3: syntax error while "
         L"parsing value - invalid literal"},
        {"keymap.json", "{\"layers\": []}",
         L"Layout \"keymap.json\" not loaded: this is a QMK keymap: give the keyboard's "
         L"info.json or keyboard.json as the input and the keymap with --keymap"},
    };
    for (const Case& c : cases) {
        const fs::path path = Write(c.file, c.bytes);
        const FileLoad load = Load(path);
        EXPECT_FALSE(load.loaded) << c.file;
        EXPECT_EQ(LayoutFailureLine(path.wstring(), load.failure), c.line);
    }
    const FileLoad missing = Load(folder_.Path() / "gone.json");
    EXPECT_EQ(LayoutFailureLine((folder_.Path() / "gone.json").wstring(), missing.failure),
              L"Layout \"gone.json\" not loaded: Unable to open file.");
    // The diagnostic log keeps the parser's own messages.
    const FileLoad rows = Load(folder_.Path() / "rows.kbl");
    EXPECT_NE(rows.log.find(L"Invalid row field.\n   Error:  Line 4 invalid.\n"),
              std::wstring::npos)
        << rows.log;
}

namespace {

class NullStatus final : public StatusLabel {
public:
    void SetStatusText(int, Colour) override {}
    void Show(bool) override {}
};

// A page that records what the selection shows the user, in order.
class ReportingPage final : public LayoutPage {
public:
    KeyboardLayout layout;
    KeyNameTable names;
    LayoutLoadFailure failure;
    std::vector<std::wstring> events;
    NullStatus status;

    bool LoadLayoutFile(const std::wstring& path) override {
        return LoadAnyLayoutFile(path, 36, layout, names, &failure);
    }
    bool LoadLayoutString(const std::wstring& text) override {
        return LoadLayoutText(text, 36, layout, names);
    }
    void ResetKeyStates() override {}
    void EmptyEventLog() override { events.push_back(L"log emptied"); }
    void HideLogStatus() override {}
    void ClearLastKeyFields() override {}
    StatusLabel& LayoutStatusText() override { return status; }
    void ShowStatusCaption(bool) override {}
    void PostLayoutChanged() override { events.push_back(L"posted"); }
    void HighlightLayoutEntry(int) override {}
    void FocusPage() override {}
    const LayoutLoadFailure* LastLoadFailure() const override { return &failure; }
    void ReportLoadFailure(const std::wstring& line) override { events.push_back(line); }
};

} // namespace

TEST_F(LayoutFolderFixture, SelectionShowsTheReasonAfterTheFallback) {
    LayoutSelector selector;
    selector.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI");
    ReportingPage page;
    std::wstring lastLayout;
    CapturedLog log;
    const fs::path broken = Write("broken.json", "{\"layouts\": {}}");
    EXPECT_FALSE(selector.SelectLayout(page, broken.wstring(), lastLayout));
    EXPECT_EQ(page.layout.name, L"104 Key ANSI");
    EXPECT_EQ(page.events,
              (std::vector<std::wstring>{L"log emptied",
                                         L"Layout \"broken.json\" not loaded: 'layouts' must be an "
                                         L"object holding at least one layout",
                                         L"posted"}));
    page.events.clear();
    const fs::path good = Write("good.json", Data("kle_60_raw.txt"));
    EXPECT_TRUE(selector.SelectLayout(page, good.wstring(), lastLayout));
    EXPECT_EQ(page.events, (std::vector<std::wstring>{L"log emptied", L"posted"}));
    EXPECT_EQ(page.layout.keys.size(), 61u);
}

TEST(LayoutFit, LargestKeySizeThatFitsNotBelowTen) {
    // A board 60 units wide and 5 high, with the parser's truncation.
    int probes = 0;
    const auto board = [&probes](int keySize) {
        ++probes;
        return PixelSize{60 * keySize, 5 * keySize};
    };
    EXPECT_EQ(FittingKeySize(36, 2160, 180, board), 36);
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(FittingKeySize(36, 1000, 500, board), 16); // 960 wide
    EXPECT_EQ(FittingKeySize(36, 2159, 500, board), 35);
    EXPECT_EQ(FittingKeySize(36, 3000, 100, board), 20); // the height decides
    EXPECT_EQ(FittingKeySize(36, 100, 100, board), kMinimumKeySize);
    EXPECT_EQ(FittingKeySize(10, 100, 100, board), 10);
    probes = 0;
    FittingKeySize(1000000, 1000, 500, board);
    EXPECT_LE(probes, 22); // a search, not a walk through every size
}

TEST(LayoutFailureLine, ControlCharactersOfTheNameAndReasonAreSpaces) {
    const LayoutLoadFailure failure{3, L"wrong number of fields in \"x\ny\u2028z\""};
    EXPECT_EQ(LayoutFailureLine(L"bad\r\nALL KEYS PASS.kbl", failure),
              L"Layout \"bad  ALL KEYS PASS.kbl\" not loaded: line 3: wrong number of fields "
              L"in \"x y z\"");
}

TEST(LayoutLibrary, ARefreshFollowsTheFolderAndKeepsTheChosenLayout) {
    TempFolder folder;
    const auto write = [&folder](const char* file, const std::string& text) {
        WriteFileBytes(folder.Path() / file, text);
        return (folder.Path() / file).wstring();
    };
    const std::wstring beta = write("b.kbl", "Beta\nR1, 0x1E, \"A\", \"A\", 1\n");
    const auto readName = [](const std::wstring& path) { return ReadAnyLayoutName(path); };
    LayoutLibrary library;
    library.Build(folder.Path().wstring(), L"104 Key ANSI", readName);
    ASSERT_EQ(library.Entries().size(), 2u);

    // A file copied in appears; the chosen entry is found at its new place.
    write("a.kbl", "Alpha\nR1, 0x1E, \"A\", \"A\", 1\n");
    EXPECT_EQ(library.Refresh(folder.Path().wstring(), L"104 Key ANSI", readName, beta), 2);
    ASSERT_EQ(library.Entries().size(), 3u);
    EXPECT_EQ(library.Entries()[1].name, L"Alpha");

    // The chosen file deleted: its entry stays until another choice; others go.
    std::filesystem::remove(beta);
    std::filesystem::remove(folder.Path() / "a.kbl");
    EXPECT_EQ(library.Refresh(folder.Path().wstring(), L"104 Key ANSI", readName, beta), 1);
    ASSERT_EQ(library.Entries().size(), 2u);
    EXPECT_EQ(library.Entries()[1].name, L"Beta");
    EXPECT_EQ(
        library.Refresh(folder.Path().wstring(), L"104 Key ANSI", readName, kDefaultLayoutMarker),
        0);
    EXPECT_EQ(library.Entries().size(), 1u);
}

TEST(NamedLayout, DefaultAPathAFileNameOrALayoutNameOfTheFolders) {
    TempFolder first;
    TempFolder second;
    WriteFileBytes(second.Path() / "pad.kbl", "Pad 17\nR1, 0x1E, \"A\", \"A\", 1\n");
    WriteFileBytes(first.Path() / "notes.txt", "Pad 17\n");
    const std::vector<std::wstring> folders = {first.Path().wstring(), second.Path().wstring()};
    const std::wstring pad = (second.Path() / "pad.kbl").wstring();

    EXPECT_EQ(FindNamedLayout(L"default", folders), kDefaultLayoutMarker);
    EXPECT_EQ(FindNamedLayout(L"Default", {}), kDefaultLayoutMarker);
    EXPECT_EQ(FindNamedLayout(pad, {}), pad);
    EXPECT_EQ(FindNamedLayout(L"pad.kbl", folders), pad);
    EXPECT_EQ(FindNamedLayout(L"C:\\Users\\bench2\\layouts\\pad.kbl", folders), pad);
    EXPECT_EQ(FindNamedLayout(L"/home/bench2/layouts/pad.kbl", folders), pad);
    EXPECT_EQ(FindNamedLayout(L"Pad 17", folders), pad);
    EXPECT_EQ(FindNamedLayout(L"pad.kbl", {first.Path().wstring()}), L"");
    EXPECT_EQ(FindNamedLayout(L"Pad 18", folders), L"");
    EXPECT_EQ(FindNamedLayout(L"", folders), L"");
    // A folder is not a layout.
    EXPECT_EQ(FindNamedLayout(second.Path().wstring(), folders), L"");
}
