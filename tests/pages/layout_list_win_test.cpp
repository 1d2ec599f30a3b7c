#include "base/app_messages.h"
#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_parser.h"
#include "pages/layout_list_win.h"
#include "pages/status_label_win.h"
#include "ui/static_controls.h"
#include "view/keyboard_window_win.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void WriteLayout(const std::filesystem::path& path, const std::string& name) {
    WriteFileBytes(path, name + "\n\nR1, 0x1E, \"A\", \"A\", 1\n");
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style = 0) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 20, parent,
                           nullptr, nullptr, nullptr);
}

class LayoutListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(main_, nullptr);
        controls_.page = Child(main_, L"STATIC", L"");
        controls_.combo = Child(controls_.page, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL);
        controls_.logView = Child(controls_.page, L"EDIT", L"00:01.0002 a DOWN");
        controls_.logStatus = Child(controls_.page, L"STATIC", L"Log saved");
        controls_.statusCaption = Child(controls_.page, L"STATIC", L"Status:");
        for (auto& field : controls_.lastKeyFields) {
            field = Child(controls_.page, L"STATIC", L"[Dn]");
        }
        statusWindow_ = Child(controls_.page, L"STATIC", L"[status]");
        ASSERT_TRUE(status_.SubclassWindow(statusWindow_));
        ASSERT_TRUE(view_.SubclassWindow(Child(controls_.page, L"STATIC", L"")));
        page_ = std::make_unique<WinLayoutPage>(controls_, view_, statusLabel_);
        selector_.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI");

        WriteLayout(folder_.Path() / "a.kbl", "ANSI Compact");
        WriteLayout(folder_.Path() / "b.kbl", "ANSI");
        WriteLayout(folder_.Path() / "c.kbl", "ansi");
        SetEnvironmentVariableW(L"TAPWISE_TEST_LAYOUTS", folder_.Path().wstring().c_str());
        selector_.BuildLibrary(ExpandLayoutFolder(L"%TAPWISE_TEST_LAYOUTS%"), ReadLayoutName);
        FillLayoutCombo(controls_.combo, selector_.Library());
    }
    void TearDown() override {
        view_.UnsubclassWindow();
        status_.UnsubclassWindow();
        DestroyWindow(main_);
    }

    std::vector<std::wstring> ComboItems() {
        std::vector<std::wstring> items;
        const auto count = SendMessageW(controls_.combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(controls_.combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    int Selected() { return static_cast<int>(SendMessageW(controls_.combo, CB_GETCURSEL, 0, 0)); }
    int LayoutChangedPosts() {
        int posts = 0;
        MSG message;
        while (PeekMessageW(&message, main_, UWM_LAYOUT_CHANGED, UWM_LAYOUT_CHANGED, PM_REMOVE)) {
            ++posts;
        }
        return posts;
    }

    HWND main_ = nullptr;
    HWND statusWindow_ = nullptr;
    LayoutPageControls controls_;
    ColorStatic status_{0x333333};
    ColorStaticLabel statusLabel_{status_};
    KeyboardWindow view_{0xF2F2F2, 0x333333, 0};
    std::unique_ptr<WinLayoutPage> page_;
    LayoutSelector selector_;
    TempFolder folder_;
    std::wstring lastLayout_;
};

TEST_F(LayoutListFixture, ListOrderAndHighlightOfTheLoadedEntry) {
    EXPECT_EQ(ComboItems(),
              (std::vector<std::wstring>{L"104 Key ANSI", L"ANSI", L"ANSI Compact", L"ansi"}));
    // "ansi" is a case-insensitive prefix of items 1 and 2; the loaded entry is still item 3.
    SendMessageW(controls_.combo, CB_SETCURSEL, 3, 0);
    selector_.OnSelectionChange(*page_, Selected(), lastLayout_);
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(view_.Layout().name, L"ansi");
    EXPECT_EQ(lastLayout_, selector_.Library().At(3)->path);
    EXPECT_EQ(WindowText(statusWindow_), L"Layout Cleared/Reloaded");
    EXPECT_EQ(status_.TextColour(), MakeColour(220, 220, 220));
    EXPECT_TRUE(IsWindowVisible(statusWindow_));
    EXPECT_TRUE(IsWindowVisible(controls_.statusCaption));
    EXPECT_EQ(WindowText(controls_.logView), L"");
    EXPECT_FALSE(IsWindowVisible(controls_.logStatus));
    for (HWND field : controls_.lastKeyFields) {
        EXPECT_EQ(WindowText(field), L"");
    }
    EXPECT_EQ(LayoutChangedPosts(), 1);
    EXPECT_EQ(GetFocus(), controls_.page);
}

TEST_F(LayoutListFixture, FallbackHighlightsTheDefaultEntry) {
    const int index = selector_.Library().IndexOfPath((folder_.Path() / "b.kbl").wstring());
    ASSERT_EQ(index, 1);
    std::filesystem::remove(folder_.Path() / "b.kbl");
    SendMessageW(controls_.combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    selector_.OnSelectionChange(*page_, Selected(), lastLayout_);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(lastLayout_, kDefaultLayoutMarker);
    EXPECT_EQ(view_.Layout().name, L"104 Key ANSI");
    EXPECT_EQ(WindowText(statusWindow_), L"Invalid layout!  Default Loaded");
    EXPECT_EQ(status_.TextColour(), MakeColour(255, 0, 0));
    EXPECT_EQ(LayoutChangedPosts(), 1);

    selector_.OnKeyPress(*page_);
    EXPECT_EQ(WindowText(statusWindow_), L"Invalid layout!  Default Active");
}

TEST_F(LayoutListFixture, JsonLayoutsAreListedAndAFailureIsReportedInTheLog) {
    WriteFileBytes(folder_.Path() / "kle.json",
                   "[{\"name\": \"Tiny KLE\"}, [\"Q\", \"W\", \"E\"]]");
    WriteFileBytes(folder_.Path() / "broken.json", "[[\"Q\",\n\"W\" \"E\"]]");
    std::vector<std::wstring> reported;
    controls_.reportFailure = [&reported](const std::wstring& line) { reported.push_back(line); };
    page_ = std::make_unique<WinLayoutPage>(controls_, view_, statusLabel_);
    selector_.BuildLibrary(ExpandLayoutFolder(L"%TAPWISE_TEST_LAYOUTS%"), ReadAnyLayoutName);
    FillLayoutCombo(controls_.combo, selector_.Library());
    EXPECT_EQ(ComboItems(), (std::vector<std::wstring>{L"104 Key ANSI", L"ANSI", L"ANSI Compact",
                                                       L"Tiny KLE", L"ansi", L"broken.json"}));
    selector_.OnSelectionChange(*page_, 3, lastLayout_);
    EXPECT_EQ(view_.Layout().name, L"Tiny KLE");
    EXPECT_EQ(view_.Layout().keys.size(), 3u);
    EXPECT_TRUE(reported.empty());

    selector_.OnSelectionChange(*page_, 5, lastLayout_);
    EXPECT_EQ(view_.Layout().name, L"104 Key ANSI");
    EXPECT_EQ(WindowText(statusWindow_), L"Invalid layout!  Default Loaded");
    EXPECT_EQ(reported, (std::vector<std::wstring>{
                            L"Layout \"broken.json\" not loaded: invalid JSON at line 2, column 7: "
                            L"syntax error while parsing array - unexpected string literal; "
                            L"expected ']'"}));
}

} // namespace
