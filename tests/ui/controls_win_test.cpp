#include "report/readout.h"
#include "support/test_support.h"
#include "ui/buttons.h"
#include "ui/colour_scheme.h"
#include "ui/deferred_static.h"
#include "ui/progress_static.h"
#include "ui/static_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// A hidden parent window with child controls and a memory DC to draw them into.
class ControlHost {
public:
    ControlHost() {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 600, 400, nullptr,
                                    nullptr, nullptr, nullptr);
        dc_ = ::CreateCompatibleDC(nullptr);
        HDC screen = ::GetDC(nullptr);
        bitmap_ = ::CreateCompatibleBitmap(screen, 200, 100);
        ::ReleaseDC(nullptr, screen);
        previous_ = ::SelectObject(dc_, bitmap_);
        RECT all{0, 0, 200, 100};
        ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ~ControlHost() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
        ::DestroyWindow(parent_);
    }
    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
             int id) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                 nullptr);
    }
    DRAWITEMSTRUCT Item(HWND control, int w, int h, UINT state = 0) const {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(::GetDlgCtrlID(control));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = control;
        item.hDC = dc_;
        item.rcItem = {0, 0, w, h};
        return item;
    }
    Colour At(int x, int y) const { return static_cast<Colour>(::GetPixel(dc_, x, y)); }
    HDC Dc() const { return dc_; }
    HWND Parent() const { return parent_; }

private:
    HWND parent_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A 4 x 8 bitmap: top half red (normal image), bottom half blue (hover image).
HBITMAP TwoImageBitmap() {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 8);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            ::SetPixelV(dc, x, y, y < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255));
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return bitmap;
}

int Count(const std::wstring& text, const std::wstring& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}
} // namespace

TEST(FlatGroupbox, TwoPixelFrameFilledCaptionNeverDrawn) {
    ControlHost host;
    HWND box = host.Add(L"BUTTON", L"Logging", BS_GROUPBOX, 0, 0, 100, 50, 1048);
    FlatGroupbox groupbox(Palette::FrameLine, Palette::MainBackground);
    ASSERT_TRUE(groupbox.SubclassWindow(box));
    groupbox.Draw(host.Dc());
    EXPECT_EQ(host.At(1, 25), Palette::FrameLine);
    EXPECT_EQ(host.At(97, 25), Palette::FrameLine);
    EXPECT_EQ(host.At(50, 1), Palette::FrameLine);
    EXPECT_EQ(host.At(50, 47), Palette::FrameLine);
    // Inside the frame only the fill: no caption text anywhere.
    for (int y = 3; y < 46; ++y) {
        for (int x = 3; x < 96; ++x) {
            ASSERT_EQ(host.At(x, y), Palette::MainBackground) << x << "," << y;
        }
    }
    EXPECT_EQ(host.At(99, 25), MakeColour(255, 255, 255)); // outside (1, 1, 99, 49)
    EXPECT_EQ(host.At(50, 49), MakeColour(255, 255, 255));
}

TEST(FlatIndicator, LitLampFillsItsClientArea) {
    ControlHost host;
    HWND lamp = host.Add(L"STATIC", L"", 0, 0, 0, 20, 10, 1024);
    FlatIndicator indicator(Palette::LampOn, Palette::DimText);
    ASSERT_TRUE(indicator.SubclassWindow(lamp));
    indicator.Draw(host.Dc());
    EXPECT_EQ(host.At(0, 0), Palette::DimText);
    indicator.SetLit(true);
    indicator.Draw(host.Dc());
    EXPECT_EQ(host.At(0, 0), MakeColour(255, 220, 0));
    EXPECT_EQ(host.At(19, 9), MakeColour(255, 220, 0));
    EXPECT_EQ(host.At(20, 9), MakeColour(255, 255, 255));
}

TEST(ColorStatic, ReflectedColourAndMissingResource) {
    CapturedLog log;
    ControlHost host;
    HWND label = host.Add(L"STATIC", L"old", 0, 0, 0, 50, 10, 1069);
    ColorStatic status(Palette::MainBackground);
    ASSERT_TRUE(status.SubclassWindow(label));
    const LRESULT brush = ::SendMessageW(label, 0x2138, reinterpret_cast<WPARAM>(host.Dc()),
                                         reinterpret_cast<LPARAM>(label));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(static_cast<Colour>(::GetBkColor(host.Dc())), Palette::MainBackground);
    EXPECT_EQ(static_cast<Colour>(::GetTextColor(host.Dc())), Palette::NormalText);

    EXPECT_TRUE(status.SetTextFromResource(151, MakeColour(255, 0, 0)));
    EXPECT_EQ(status.TextColour(), MakeColour(255, 0, 0));
    EXPECT_FALSE(status.SetTextFromResource(60000, MakeColour(255, 0, 0)));
    EXPECT_NE(log.Text().find(L"Error:  resource ID (60000) not found.\n"), std::wstring::npos);
    wchar_t text[16] = L"x";
    ::GetWindowTextW(label, text, 16);
    EXPECT_STREQ(text, L"");
    EXPECT_EQ(status.TextColour(), MakeColour(255, 0, 0));
}

TEST(FlatButton, OutlineOneOrTwoPixels) {
    ControlHost host;
    HWND control = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 0, 0, 60, 24, 1007);
    FlatButton button(Palette::DimText, Palette::MainBackground);
    ASSERT_TRUE(button.SubclassWindow(control));
    DRAWITEMSTRUCT released = host.Item(control, 60, 24);
    ::SendMessageW(control, kReflectedDrawItem, 1007, reinterpret_cast<LPARAM>(&released));
    EXPECT_EQ(host.At(0, 12), Palette::DimText);
    EXPECT_EQ(host.At(1, 12), Palette::MainBackground);
    EXPECT_EQ(host.At(59, 12), Palette::DimText);
    EXPECT_EQ(host.At(30, 0), Palette::DimText);
    EXPECT_EQ(host.At(30, 23), Palette::DimText);

    DRAWITEMSTRUCT held = host.Item(control, 60, 24, ODS_SELECTED);
    ::SendMessageW(control, kReflectedDrawItem, 1007, reinterpret_cast<LPARAM>(&held));
    // A 2-pixel pen on the rectangle moved in by 1 covers the two outermost pixels.
    EXPECT_EQ(host.At(0, 12), Palette::DimText);
    EXPECT_EQ(host.At(1, 12), Palette::DimText);
    EXPECT_EQ(host.At(2, 12), Palette::MainBackground);
    EXPECT_EQ(host.At(30, 1), Palette::DimText);
    EXPECT_EQ(host.At(30, 2), Palette::MainBackground);
    EXPECT_EQ(host.At(58, 12), Palette::DimText);
    EXPECT_EQ(host.At(57, 12), Palette::MainBackground);

    const LRESULT brush =
        ::SendMessageW(control, kReflectedCtlColorBtn, reinterpret_cast<WPARAM>(host.Dc()), 0);
    EXPECT_NE(brush, 0);
    EXPECT_EQ(static_cast<Colour>(::GetBkColor(host.Dc())), Palette::MainBackground);
}

TEST(FlatColorButton, SwatchAndColourChanges) {
    ControlHost host;
    HWND control = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 0, 0, 40, 20, 1038);
    FlatColorButton swatch(MakeColour(160, 255, 160));
    ASSERT_TRUE(swatch.SubclassWindow(control));
    DRAWITEMSTRUCT item = host.Item(control, 40, 20);
    ::SendMessageW(control, kReflectedDrawItem, 1038, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(host.At(0, 10), Palette::NormalText);
    EXPECT_EQ(host.At(20, 10), MakeColour(160, 255, 160));
    const LRESULT before =
        ::SendMessageW(control, kReflectedCtlColorBtn, reinterpret_cast<WPARAM>(host.Dc()), 0);
    swatch.SetFillColour(MakeColour(160, 255, 160));
    EXPECT_EQ(
        ::SendMessageW(control, kReflectedCtlColorBtn, reinterpret_cast<WPARAM>(host.Dc()), 0),
        before);
    swatch.SetFillColour(MakeColour(1, 2, 3));
    ::SendMessageW(control, kReflectedDrawItem, 1038, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(host.At(20, 10), MakeColour(1, 2, 3));
}

TEST(ImageButton, SizedToOneImageHoverOnceAndBack) {
    CapturedLog log;
    ControlHost host;
    HWND control = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 5, 5, 50, 50, 1069);
    ImageButton button(TwoImageBitmap(), true);
    ASSERT_TRUE(button.SubclassWindow(control));
    EXPECT_NE(log.Text().find(L"ImageButton::SubclassWindow()\n"), std::wstring::npos);
    RECT rect{};
    ::GetWindowRect(control, &rect);
    EXPECT_EQ(rect.right - rect.left, 4);
    EXPECT_EQ(rect.bottom - rect.top, 4);

    DRAWITEMSTRUCT item = host.Item(control, 4, 4);
    ::SendMessageW(control, kReflectedDrawItem, 1069, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(host.At(0, 0), MakeColour(255, 0, 0));
    for (int i = 0; i < 5; ++i) {
        ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    }
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(Count(log.Text(), L"Mouse entered client area, displaying hover image...\n"), 1);
    ::SendMessageW(control, kReflectedDrawItem, 1069, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(host.At(3, 3), MakeColour(0, 0, 255));
    ::SendMessageW(control, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(Count(log.Text(), L"Mouse left client area, displaying normal image...\n"), 1);
    ::SendMessageW(control, kReflectedDrawItem, 1069, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(host.At(3, 3), MakeColour(255, 0, 0));
}

TEST(ImageButton, ResourceBitmapsAndMissingOnes) {
    ControlHost host;
    HWND logo = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 5, 5, 50, 50, 1009);
    ImageButton button(240u, true);
    ASSERT_TRUE(button.SubclassWindow(logo));
    RECT rect{};
    ::GetWindowRect(logo, &rect);
    EXPECT_EQ(rect.right - rect.left, 38);
    EXPECT_EQ(rect.bottom - rect.top, 33);

    HWND other = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 5, 5, 50, 50, 1067);
    ImageButton missing(60001u, true);
    ASSERT_TRUE(missing.SubclassWindow(other));
    ::GetWindowRect(other, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    ::SendMessageW(other, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(missing.IsHovering());
}

TEST(TabButton, EdgesBySelectionAndNeighbours) {
    CapturedLog log;
    ControlHost host;
    HWND first = host.Add(L"BUTTON", L"LAYOUT", BS_OWNERDRAW, 10, 10, 60, 40, 1044);
    HWND second = host.Add(L"BUTTON", L"SETTINGS", BS_OWNERDRAW, 70, 10, 60, 40, 1045);
    TabButton tab1(Palette::BrightText, Palette::FrameLine, Palette::MainBackground,
                   Palette::PageBackground, true);
    TabButton tab2(Palette::BrightText, Palette::FrameLine, Palette::MainBackground,
                   Palette::PageBackground, false);
    tab1.SetNeighbours(nullptr, &tab2);
    tab2.SetNeighbours(&tab1, nullptr);
    ASSERT_TRUE(tab1.SubclassWindow(first));
    ASSERT_TRUE(tab2.SubclassWindow(second));

    // Edges are 2 pixels wide: x 0-1 left, 58-59 right, y 0-1 top, 38-39 bottom. Rows 5
    // and 34 lie clear of the centred caption.
    DRAWITEMSTRUCT item = host.Item(first, 60, 40);
    ::SendMessageW(first, kReflectedDrawItem, 1044, reinterpret_cast<LPARAM>(&item));
    EXPECT_NE(log.Text().find(L"TabButton::OnDrawItem() - Control ID 1044 \"LAYOUT\", (0, 0, "
                              L"60, 40).\n"),
              std::wstring::npos);
    // Selected: left, top and right edges, open at the bottom.
    EXPECT_EQ(host.At(0, 5), Palette::FrameLine);
    EXPECT_EQ(host.At(1, 34), Palette::FrameLine);
    EXPECT_EQ(host.At(2, 34), Palette::PageBackground);
    EXPECT_EQ(host.At(30, 0), Palette::FrameLine);
    EXPECT_EQ(host.At(30, 1), Palette::FrameLine);
    EXPECT_EQ(host.At(59, 5), Palette::FrameLine);
    EXPECT_EQ(host.At(58, 34), Palette::FrameLine);
    EXPECT_EQ(host.At(30, 38), Palette::PageBackground);
    EXPECT_EQ(host.At(30, 39), Palette::PageBackground);

    tab1.SetSelected(false);
    ::SendMessageW(first, kReflectedDrawItem, 1044, reinterpret_cast<LPARAM>(&item));
    // Not selected, with a right neighbour: no right edge, a bottom edge.
    EXPECT_EQ(host.At(1, 5), Palette::FrameLine);
    EXPECT_EQ(host.At(30, 38), Palette::FrameLine);
    EXPECT_EQ(host.At(30, 39), Palette::FrameLine);
    EXPECT_EQ(host.At(58, 5), Palette::MainBackground);
    EXPECT_EQ(host.At(59, 5), Palette::MainBackground);

    DRAWITEMSTRUCT item2 = host.Item(second, 60, 40);
    ::SendMessageW(second, kReflectedDrawItem, 1045, reinterpret_cast<LPARAM>(&item2));
    // Not selected, with a left neighbour: no left edge; a right edge, nothing is right of it.
    EXPECT_EQ(host.At(0, 5), Palette::MainBackground);
    EXPECT_EQ(host.At(1, 5), Palette::MainBackground);
    EXPECT_EQ(host.At(59, 5), Palette::FrameLine);

    const LRESULT brush =
        ::SendMessageW(second, kReflectedCtlColorBtn, reinterpret_cast<WPARAM>(host.Dc()), 0);
    EXPECT_NE(brush, 0);
    EXPECT_NE(log.Text().find(L"TabButton::OnCtlColorBtn() - button ID 1045 \"SETTINGS\".\n"),
              std::wstring::npos);
}

TEST(TabButton, RowGrowsNeverShrinksAndNeighbourFollows) {
    ControlHost host;
    HWND first = host.Add(L"BUTTON", L"LAYOUT", BS_OWNERDRAW, 10, 10, 60, 20, 1044);
    HWND second = host.Add(L"BUTTON", L"SETTINGS", BS_OWNERDRAW, 70, 10, 60, 20, 1045);
    TabButton tab1(0, 0, 0, 0, true);
    TabButton tab2(0, 0, 0, 0, false);
    tab1.SetNeighbours(nullptr, &tab2);
    tab2.SetNeighbours(&tab1, nullptr);
    tab1.SubclassWindow(first);
    tab2.SubclassWindow(second);
    auto rectOf = [&host](HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(nullptr, host.Parent(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const std::wstring longName = L"104 KEY ANSI WITH A VERY LONG NAME INDEED";
    ::SetWindowTextW(first, longName.c_str());
    ::SendMessageW(first, kLayoutTabRowMessage, 0, 0);
    HDC dc = ::GetDC(first);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, longName.c_str(), static_cast<int>(longName.size()), &extent);
    ::ReleaseDC(first, dc);
    RECT r1 = rectOf(first);
    EXPECT_EQ(r1.left, 10);
    EXPECT_EQ(r1.right - r1.left, std::max<int>(extent.cx + 5, 60));
    EXPECT_EQ(rectOf(second).left, r1.right);

    ::SetWindowTextW(first, L"X");
    ::SendMessageW(first, kLayoutTabRowMessage, 0, 0);
    EXPECT_EQ(rectOf(first).right, r1.right);
    EXPECT_EQ(rectOf(second).left, r1.right);
}

TEST(AlignWindow, MovesInParentClientCoordinates) {
    ControlHost host;
    ::SetWindowPos(host.Parent(), nullptr, 100, 50, 600, 400, SWP_NOZORDER);
    HWND frame = host.Add(L"STATIC", L"", 0, 20, 60, 300, 200, 1046);
    HWND tabWindow = host.Add(L"BUTTON", L"", BS_OWNERDRAW, 0, 0, 50, 16, 1044);
    TabButton tab(0, 0, 0, 0, true);
    tab.SubclassWindow(tabWindow);
    tab.AlignAbove(frame, 2);
    tab.AlignLeftEdges(frame, 12);
    RECT r{};
    ::GetWindowRect(tabWindow, &r);
    ::MapWindowPoints(nullptr, host.Parent(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 32);
    EXPECT_EQ(r.bottom, 62);
    tab.StretchToRight(frame, -10);
    ::GetWindowRect(tabWindow, &r);
    ::MapWindowPoints(nullptr, host.Parent(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.right, 310);
    EXPECT_EQ(r.left, 32);
}

TEST(AlignWindow, CentreAndClientResize) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0,
                                    100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ResizeClient(window, 321, 123));
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 321);
    EXPECT_EQ(client.bottom, 123);
    ASSERT_TRUE(CentreWindow(window));
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (info.rcWork.left + info.rcWork.right) / 2 - (r.right - r.left) / 2);
    // Wider than the work area: its left edge on the area's left edge.
    ::SetWindowPos(window, nullptr, 0, 0, info.rcWork.right - info.rcWork.left + 500, 100,
                   SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(CentreWindow(window));
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.left, info.rcWork.left);
    ::DestroyWindow(window);
}

namespace {

// Renders a control's client area through WM_PRINTCLIENT and returns its pixels.
std::vector<COLORREF> Printed(HWND control, int w, int h) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                   PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels.push_back(::GetPixel(dc, x, y));
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

std::wstring StoredText(HWND control) {
    wchar_t text[64] = {};
    ::InternalGetWindowText(control, text, 64);
    return text;
}

} // namespace

TEST(DeferredStatic, ManyChangesOnePaintLooksAsAPlainStatic) {
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 80,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 120,
                                   16, parent, nullptr, nullptr, nullptr);
    HWND field = ::CreateWindowExW(0, L"STATIC", L"[Dn]", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 20,
                                   120, 16, parent, nullptr, nullptr, nullptr);
    ::UpdateWindow(parent);
    DeferredStatic deferred;
    ASSERT_TRUE(deferred.SubclassWindow(field));
    EXPECT_EQ(deferred.Text(), L"[Dn]");

    for (int i = 0; i < 100; ++i) {
        ::SetWindowTextW(field, (L"Key " + std::to_wstring(i)).c_str());
    }
    wchar_t read[32] = {};
    EXPECT_EQ(::GetWindowTextW(field, read, 32), 6);
    EXPECT_EQ(std::wstring(read), L"Key 99");
    EXPECT_EQ(::GetWindowTextLengthW(field), 6);
    // A short buffer gets a cut, terminated text.
    EXPECT_EQ(::GetWindowTextW(field, read, 4), 3);
    EXPECT_EQ(std::wstring(read), L"Key");
    RECT pending{};
    EXPECT_TRUE(::GetUpdateRect(field, &pending, FALSE)) << "a paint is asked for";
    EXPECT_EQ(StoredText(field), L"[Dn]") << "nothing stored before the paint";

    ::UpdateWindow(field);
    EXPECT_FALSE(::GetUpdateRect(field, &pending, FALSE));
    EXPECT_EQ(StoredText(field), L"Key 99");
    ::SetWindowTextW(plain, L"Key 99");
    EXPECT_EQ(Printed(field, 120, 16), Printed(plain, 120, 16));

    // An unchanged text asks for nothing; a change while hidden shows when shown again.
    ::SetWindowTextW(field, L"Key 99");
    EXPECT_FALSE(::GetUpdateRect(field, &pending, FALSE));
    ::ShowWindow(field, SW_HIDE);
    deferred.SetText(L"while hidden");
    deferred.SetText(nullptr);
    deferred.SetText(L"A B");
    ::ShowWindow(field, SW_SHOW);
    ::UpdateWindow(field);
    EXPECT_EQ(StoredText(field), L"A B");
    ::SetWindowTextW(plain, L"A B");
    EXPECT_EQ(Printed(field, 120, 16), Printed(plain, 120, 16));
    ::SetWindowTextW(field, L"x");
    EXPECT_TRUE(::GetUpdateRect(field, &pending, FALSE)) << "asked again after a paint";
    ::DestroyWindow(parent);
}

TEST(OwnerDrawnText, ReadoutAndLampsCarryTheirWordsAsWindowText) {
    ControlHost host;
    const auto text = [](HWND window) {
        wchar_t buffer[128] = {};
        ::GetWindowTextW(window, buffer, 128);
        return std::wstring(buffer);
    };
    HWND bar = host.Add(L"STATIC", L"[readout]", 0, 0, 40, 180, 16, 1080);
    ProgressStatic readout({Palette::MainBackground, Palette::FrameLine, Palette::LampOn,
                            Palette::NormalText, Palette::LampOn});
    ASSERT_TRUE(readout.SubclassWindow(bar));
    readout.SetProgress(ReadoutParts({104, 3, 1}, 1), 3, 104);
    EXPECT_EQ(text(bar), L"Tested 3 / 104  Faulty 1  Rollover 1");
    readout.SetProgress(ReadoutParts({104, 4, 1}, 2), 4, 104);
    EXPECT_EQ(text(bar), L"Tested 4 / 104  Faulty 1  Rollover 2");

    HWND lamp = host.Add(L"STATIC", L"[Num Lock Indicator]", 0, 0, 0, 8, 8, 1024);
    FlatIndicator indicator(Palette::LampOn, Palette::DimText);
    ASSERT_TRUE(indicator.SubclassWindow(lamp));
    EXPECT_EQ(text(lamp), L"Off");
    indicator.SetLit(true);
    EXPECT_EQ(text(lamp), L"On");
    indicator.SetLit(false);
    EXPECT_EQ(text(lamp), L"Off");
}
