// The program on screens of another scale. The DpiScaling tests run in every Wine prefix the
// test suite starts (96 DPI, and again at 144 and 192 DPI); the DPI change test sends the
// message Windows sends when the window moves to a screen of another scale.
#include "app/main_dlg.h"
#include "app/main_window_fixture_win.h"
#include "layouts/default_layout.h"
#include "layouts/key_geometry.h"
#include "layouts/layout_parser.h"
#include "layouts/resource_strings_win.h"
#include "report/report_model.h"
#include "resources/resource.h"
#include "support/test_support.h"
#include "ui/colour_scheme.h"
#include "ui/window_dpi.h"
#include "view/keyboard_window_win.h"
#include "view/message_font_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

PixelRect WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

PixelRect ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {0, 0, rect.right, rect.bottom};
}

PixelRect WorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

// The default layout's size at 96 DPI, loaded apart from the program.
PixelRect BaseLayoutSize() {
    KeyboardLayout layout;
    KeyNameTable names;
    LoadLayoutText(DefaultLayoutText(), 36, layout, names);
    return {0, 0, layout.width, layout.height};
}

// How many lines of `colour` run in from the left edge of a picture at row y.
int LineWidthAt(const std::vector<Colour>& row, Colour colour) {
    int width = 0;
    while (width < static_cast<int>(row.size()) && row[width] == colour) {
        ++width;
    }
    return width;
}

// Paints a control through its Draw into a memory bitmap and returns row y.
template <typename Control>
std::vector<Colour> PaintedRow(const Control& control, HWND window, int y) {
    const PixelRect size = ClientSize(window);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.Width();
    info.bmiHeader.biHeight = -size.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    control.Draw(dc);
    std::vector<Colour> row;
    for (int x = 0; x < size.Width(); ++x) {
        row.push_back(static_cast<Colour>(GetPixel(dc, x, y)));
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return row;
}

int FontHeight(HFONT font) {
    LOGFONTW description{};
    GetObjectW(font, sizeof(description), &description);
    return std::abs(description.lfHeight);
}

std::string Narrow(const std::wstring& text) {
    std::string bytes;
    ToNarrow(text, bytes);
    return bytes;
}

DWORD GdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

using DpiScalingTest = MainWindowFixture;
using DpiChangeTest = MainWindowFixture;

} // namespace

TEST_F(DpiScalingTest, KeyboardIsItsNinetySixDpiSizeTimesTheScale) {
    const int dpi = dialog_->Dpi();
    // The screen's scale, or less where the window would not fit the screen otherwise.
    EXPECT_LE(dpi, SystemDpi());
    EXPECT_GE(dpi * 4, SystemDpi() * 3) << "the program does not see the screen's scale";
    KeyboardWindow& view = dialog_->KeyboardPage().View();
    EXPECT_EQ(view.Dpi(), dpi);
    const PixelRect shown = ClientSize(view.Handle());
    EXPECT_EQ(shown.Width(), ScaleToDpi(view.Layout().width, dpi));
    EXPECT_EQ(shown.Height(), ScaleToDpi(view.Layout().height, dpi));
    if (dialog_->KeyboardPage().Session().KeySize() == Settings().KeyDimensions) {
        // Not fitted to the screen: the 96-DPI picture times the scale, to a pixel or two.
        const PixelRect base = BaseLayoutSize();
        EXPECT_NEAR(shown.Width(), base.Width() * dpi / 96.0, 2.0);
        EXPECT_NEAR(shown.Height(), base.Height() * dpi / 96.0, 2.0);
    }
    // The keyboard fills its group box but for the scaled margins.
    const PixelRect group =
        WindowRectOf(GetDlgItem(dialog_->KeyboardPage().Handle(), IDC_KBD_KEYBOARD_GROUP));
    const PixelRect onScreen = WindowRectOf(view.Handle());
    EXPECT_EQ(onScreen.left - group.left, ScaleToDpi(12, dpi));
    EXPECT_GE(group.right - onScreen.right, ScaleToDpi(12, dpi));
}

TEST_F(DpiScalingTest, WindowFitsTheWorkArea) {
    const PixelRect work = WorkArea(window_);
    const PixelRect window = WindowRectOf(window_);
    EXPECT_LE(window.Width(), work.Width());
    EXPECT_LE(window.Height(), work.Height());
    EXPECT_TRUE(Contains(work, window));
    const PixelRect keyboard = WindowRectOf(dialog_->KeyboardPage().View().Handle());
    EXPECT_TRUE(Contains(window, keyboard));
    const PixelRect close = WindowRectOf(GetDlgItem(window_, IDC_MAIN_CLOSE));
    EXPECT_TRUE(Contains(window, close));
}

TEST_F(DpiScalingTest, ButtonsLinesAndReadoutScale) {
    const int dpi = dialog_->Dpi();
    // Image buttons are their 96-DPI bitmaps scaled: close 46 x 18, logo 38 x 33.
    EXPECT_EQ(ClientSize(GetDlgItem(window_, IDC_MAIN_CLOSE)),
              (PixelRect{0, 0, ScaleToDpi(46, dpi), ScaleToDpi(18, dpi)}));
    EXPECT_EQ(ClientSize(GetDlgItem(window_, IDC_MAIN_LOGO)),
              (PixelRect{0, 0, ScaleToDpi(38, dpi), ScaleToDpi(33, dpi)}));
    // The readout's frame line and the group boxes' 2-pixel lines.
    const ProgressStatic& readout = dialog_->KeyboardPage().Readout();
    const PixelRect readoutSize = ClientSize(readout.Handle());
    EXPECT_EQ(LineWidthAt(PaintedRow(readout, readout.Handle(), readoutSize.Height() / 2),
                          Palette::FrameLine),
              ScaleToDpi(1, dpi));
    // The readout's height follows the dialog font, as the buttons' do.
    const PixelRect clear = ClientSize(GetDlgItem(dialog_->KeyboardPage().Handle(), IDC_KBD_CLEAR));
    EXPECT_GT(readoutSize.Height() * 96, 11 * dpi);
    EXPECT_GT(clear.Height() * 96, 14 * dpi);
    // The view's labels are in the 96-DPI message font scaled to the window's DPI.
    HFONT messageFont = CreateMessageFont(0, false, kBaseDpi);
    EXPECT_EQ(FontHeight(dialog_->KeyboardPage().View().LabelFont()),
              FontHeight(messageFont) * dpi / kBaseDpi);
    DeleteObject(messageFont);
    // Every key keeps a margin and an outline of a scaled pixel: Esc, top left, at mid height.
    KeyboardWindow& view = dialog_->KeyboardPage().View();
    const LayoutKey esc = view.ScreenShape(*view.Layout().FindKey(0x01));
    const int y = (esc.top + esc.bottom) / 2;
    const int line = ScaleToDpi(1, dpi);
    HDC buffer = view.BufferDC();
    for (int x = esc.left; x < esc.left + 3 * line; ++x) {
        const Colour expected = x < esc.left + line       ? Palette::MainBackground
                                : x < esc.left + 2 * line ? Palette::BrightText
                                                          : Settings().Unpressed;
        EXPECT_EQ(static_cast<Colour>(GetPixel(buffer, x, y)), expected) << "x " << x;
    }
}

TEST_F(DpiScalingTest, ReportIsTheSameAsAtOneHundredPercent) {
    // The report's keyboard picture comes from the layout, which the scale does not touch.
    const CKeyboardDlg& page = dialog_->KeyboardPage();
    KeyboardLayout base;
    KeyNameTable names;
    ASSERT_TRUE(LoadLayoutText(DefaultLayoutText(), 36, base, names));
    ReportContext context;
    context.layoutName = base.name;
    const std::string shown = WriteReportHtml(BuildTestReport(
        page.Layout(), page.Session().Engine().Statistics(), names.Entries(), context));
    const std::string atBase = WriteReportHtml(
        BuildTestReport(base, page.Session().Engine().Statistics(), names.Entries(), context));
    EXPECT_EQ(shown, atBase);
}

TEST(DpiScalingLabels, EveryLabelFitsItsKeyInEveryShippedLayout) {
    // The view on a window of the screen's scale, as the page makes it.
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    HWND child =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, host, nullptr, nullptr, nullptr);
    auto view = std::make_unique<KeyboardWindow>(Palette::BrightText, Palette::MainBackground,
                                                 Palette::Black);
    ASSERT_TRUE(view->SubclassWindow(child));
    const int dpi = view->Dpi();
    EXPECT_EQ(dpi, SystemDpi());
    std::vector<fs::path> files{fs::path()}; // the built-in layout first
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(TAPWISE_SOURCE_DIR) / "layouts")) {
        files.push_back(entry.path());
    }
    int labels = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.empty() ? std::string("built-in") : file.filename().string());
        KeyNameTable names;
        KeyboardLayout& layout = view->Layout();
        ASSERT_TRUE(file.empty() ? LoadLayoutText(DefaultLayoutText(), 36, layout, names)
                                 : LoadLayoutFile(file.wstring(), 36, layout, names));
        for (const LayoutKey& key : layout.keys) {
            if (key.label.empty()) {
                continue;
            }
            // The block the label is drawn in, measured in the font it is drawn in.
            const PixelRect area = LabelArea(view->ScreenShape(key));
            const PixelRect block = view->LabelBlock(key);
            EXPECT_TRUE(Contains(area, block))
                << "label " << Narrow(key.label) << " at " << dpi << " DPI: " << block.Width()
                << " x " << block.Height() << " on " << area.Width() << " x " << area.Height();
            ++labels;
        }
    }
    EXPECT_GT(labels, 1000);
    view.reset();
    DestroyWindow(host);
}

TEST_F(DpiChangeTest, ToOneFortyFourAndBackRestoresEverySizeAndLeaksNothing) {
    ASSERT_EQ(dialog_->Dpi(), 96) << "runs on a 96-DPI screen";
    KeyboardWindow& view = dialog_->KeyboardPage().View();
    HWND close = GetDlgItem(window_, IDC_MAIN_CLOSE);
    HWND page = dialog_->KeyboardPage().Handle();
    const PixelRect window = WindowRectOf(window_);
    const PixelRect keyboard = ClientSize(view.Handle());
    const PixelRect closeSize = ClientSize(close);
    const PixelRect pageSize = ClientSize(page);
    const PixelRect listSize = ClientSize(GetDlgItem(page, IDC_KBD_LAYOUT_LIST));
    const int labelHeight = FontHeight(view.LabelFont());
    const int keySize = dialog_->KeyboardPage().Session().KeySize();
    const DWORD objects = GdiObjects();

    // Windows suggests the same place at the new scale.
    RECT suggested{window.left, window.top, window.left + window.Width() * 3 / 2,
                   window.top + window.Height() * 3 / 2};
    SendMessageW(window_, kDpiChangedMessage, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    PumpMainWindow();
    const PixelRect work = WorkArea(window_);
    const int dpi = dialog_->Dpi();
    if (work.Width() >= suggested.right - suggested.left) {
        EXPECT_EQ(dpi, 144);
    } else {
        // The page's own controls are too wide for this screen at 150 %: drawn smaller.
        EXPECT_LT(dpi, 144);
        EXPECT_GT(dpi, 96);
    }
    EXPECT_EQ(view.Dpi(), dpi);
    EXPECT_EQ(ClientSize(view.Handle()).Width(), ScaleToDpi(view.Layout().width, dpi));
    EXPECT_EQ(ClientSize(close), (PixelRect{0, 0, ScaleToDpi(46, dpi), ScaleToDpi(18, dpi)}));
    EXPECT_NEAR(FontHeight(view.LabelFont()), ScaleBetweenDpi(labelHeight, 96, dpi), 1);
    // Edges are scaled one by one: a width may come out a pixel off its own scaling.
    EXPECT_NEAR(ClientSize(GetDlgItem(page, IDC_KBD_LAYOUT_LIST)).Width(),
                ScaleBetweenDpi(listSize.Width(), 96, dpi), 1);
    const PixelRect scaled = WindowRectOf(window_);
    EXPECT_TRUE(Contains(work, scaled));
    if (dialog_->KeyboardPage().Session().KeySize() == keySize) {
        EXPECT_NEAR(ClientSize(view.Handle()).Width(), keyboard.Width() * dpi / 96.0, 2.0);
    }

    RECT back{scaled.left, scaled.top, scaled.left + window.Width(), scaled.top + window.Height()};
    SendMessageW(window_, kDpiChangedMessage, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    PumpMainWindow();
    EXPECT_EQ(dialog_->Dpi(), 96);
    EXPECT_EQ(dialog_->KeyboardPage().Session().KeySize(), keySize);
    EXPECT_EQ(WindowRectOf(window_).Width(), window.Width());
    EXPECT_EQ(WindowRectOf(window_).Height(), window.Height());
    EXPECT_EQ(ClientSize(view.Handle()), keyboard);
    EXPECT_EQ(ClientSize(close), closeSize);
    EXPECT_EQ(ClientSize(page), pageSize);
    EXPECT_EQ(FontHeight(view.LabelFont()), labelHeight);
    EXPECT_EQ(GdiObjects(), objects);
}
