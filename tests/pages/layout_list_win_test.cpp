#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"
#include "pages/layout_list_win.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class LayoutListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        combo_ = CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST | WS_VSCROLL, 0,
                                 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(combo_, nullptr);
        selector_.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI");
        for (const auto& [file, name] : {std::pair{"a.kbl", "ANSI Compact"},
                                         std::pair{"b.kbl", "ANSI"}, std::pair{"c.kbl", "ansi"}}) {
            WriteFileBytes(folder_.Path() / file,
                           std::string(name) + "\n\nR1, 0x1E, \"A\", \"A\", 1\n");
        }
        WriteFileBytes(folder_.Path() / "kle.json",
                       "[{\"name\": \"Tiny KLE\"}, [\"Q\", \"W\", \"E\"]]");
        WriteFileBytes(folder_.Path() / "broken.json", "[[\"Q\",\n\"W\" \"E\"]]");
        SetEnvironmentVariableW(L"TAPWISE_TEST_LAYOUTS", folder_.Path().wstring().c_str());
    }
    void TearDown() override { DestroyWindow(combo_); }

    std::vector<std::wstring> ComboItems() {
        std::vector<std::wstring> items;
        const auto count = SendMessageW(combo_, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    int Selected() { return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

    HWND combo_ = nullptr;
    LayoutSelector selector_;
    TempFolder folder_;
};

TEST_F(LayoutListFixture, ListsTheLibraryInOrderAndHighlightsTheLastLayout) {
    std::wstring lastLayout = (folder_.Path() / "c.kbl").wstring();
    BuildLayoutList(combo_, selector_, L"%TAPWISE_TEST_LAYOUTS%", lastLayout);
    // The default first, then by name; a .json file that cannot be converted by its file name.
    EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"104 Key ANSI", L"ANSI", L"ANSI Compact",
                                                       L"Tiny KLE", L"ansi", L"broken.json"}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(selector_.Library().At(4)->path, lastLayout);
}

TEST_F(LayoutListFixture, NoLastLayoutMeansTheDefault) {
    std::wstring lastLayout;
    BuildLayoutList(combo_, selector_, L"%TAPWISE_TEST_LAYOUTS%", lastLayout);
    EXPECT_EQ(lastLayout, kDefaultLayoutMarker);
    EXPECT_EQ(Selected(), 0);
}

} // namespace
