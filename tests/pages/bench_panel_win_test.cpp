// The bench strip: a scanner's Enter in the Unit box starts a unit once it is released, the
// strip scales with the screen, and the banner shows and paints what the flow says.
#include "pages/bench_panel_win.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

class PanelTest : public testing::Test {
protected:
    void SetUp() override {
        page_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 900, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(page_, nullptr);
        panel_.Create(page_, 96);
        panel_.Place(10, 20, 800, 96);
        panel_.Show(true);
    }
    void TearDown() override { DestroyWindow(page_); }
    HWND Item(int id) { return GetDlgItem(page_, id); }
    RECT RectOf(int id) {
        RECT rect{};
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND page_ = nullptr;
    int entered_ = 0;
    BenchPanel panel_{[this] { ++entered_; }};
};

} // namespace

TEST_F(PanelTest, AUnitIsEnteredWhenEnterIsReleasedInTheBox) {
    HWND box = Item(IDC_KBD_UNIT);
    SetWindowTextW(box, L"U123");
    MSG pending{box, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_NE(SendMessageW(box, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&pending)) &
                  DLGC_WANTALLKEYS,
              0); // the dialog leaves Enter to the box
    SendMessageW(box, WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(entered_, 0); // a release without its press (the Enter that started the test)
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(box, WM_CHAR, L'\r', 0);
    EXPECT_EQ(entered_, 0);
    SendMessageW(box, WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(entered_, 1);
    EXPECT_EQ(panel_.UnitText(), L"U123");
    panel_.ClearUnitText();
    EXPECT_EQ(GetWindowTextLengthW(box), 0);
}

TEST_F(PanelTest, TheStripFillsItsWidthAndScalesWithTheScreen) {
    const RECT banner = RectOf(IDC_KBD_BANNER);
    EXPECT_EQ(banner.right, 810);
    EXPECT_EQ(banner.top, 20);
    EXPECT_EQ(banner.bottom - banner.top, BenchPanel::Height(96));
    EXPECT_GE(RectOf(IDC_KBD_UNIT).right, RectOf(IDC_KBD_UNIT_LABEL).right);
    EXPECT_LE(RectOf(IDC_KBD_UNIT).right, banner.left);

    panel_.Place(15, 30, 1200, 144);
    const RECT scaled = RectOf(IDC_KBD_BANNER);
    EXPECT_EQ(scaled.bottom - scaled.top, BenchPanel::Height(144));
    EXPECT_EQ(BenchPanel::Height(144), BenchPanel::Height(96) * 3 / 2);
    EXPECT_EQ(scaled.right, 1215);
}

TEST_F(PanelTest, TheBannerShowsTheFlowsWordsInItsColour) {
    panel_.ShowBanner({L"PASS", L"U123 saved as U123_20261208-011509.", BenchTone::Pass});
    wchar_t text[200] = {};
    GetWindowTextW(Item(IDC_KBD_BANNER), text, 200);
    EXPECT_STREQ(text, L"PASS - U123 saved as U123_20261208-011509.");

    // Painted into a bitmap: the pass green fills the band around the words.
    const RECT banner = RectOf(IDC_KBD_BANNER);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap =
        CreateCompatibleBitmap(screen, banner.right - banner.left, banner.bottom - banner.top);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RedrawWindow(Item(IDC_KBD_BANNER), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(PrintWindow(Item(IDC_KBD_BANNER), memory, PW_CLIENTONLY));
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(18, 138, 48));
    panel_.ShowBanner({L"FAIL: A untested", L"", BenchTone::Fail});
    ASSERT_TRUE(PrintWindow(Item(IDC_KBD_BANNER), memory, PW_CLIENTONLY));
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(196, 28, 28));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
