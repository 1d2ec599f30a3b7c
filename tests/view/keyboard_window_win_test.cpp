#include "layouts/key_geometry.h"
#include "layouts/key_names.h"
#include "layouts/layout_parser.h"
#include "settings/app_settings.h"
#include "support/test_support.h"
#include "ui/colour_scheme.h"
#include "view/keyboard_window_win.h"
#include "view/message_font_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
constexpr Colour kOutline = MakeColour(242, 242, 242);
constexpr Colour kBackground = MakeColour(51, 51, 51);

// A hidden top-level window with a static child that the view takes over.
class ViewHost {
public:
    ViewHost(int width, int height) {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 800, 600, nullptr,
                                    nullptr, nullptr, nullptr);
        child_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent_,
                                   reinterpret_cast<HMENU>(1022), nullptr, nullptr);
        view = std::make_unique<KeyboardWindow>(kOutline, kBackground, Palette::Black);
        view->SubclassWindow(child_);
        Resize(width, height);
    }
    ~ViewHost() {
        view.reset();
        ::DestroyWindow(parent_);
    }
    void Resize(int width, int height) {
        ::SetWindowPos(child_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    HWND Child() const { return child_; }
    std::unique_ptr<KeyboardWindow> view;

private:
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
};

LayoutKey& AddKey(KeyboardLayout& layout, int left, int top, int right, int bottom,
                  const wchar_t* label = L"") {
    LayoutKey key;
    key.left = left;
    key.top = top;
    key.right = right;
    key.bottom = bottom;
    key.label = label;
    layout.keys.push_back(key);
    return layout.keys.back();
}

Colour Pixel(HDC dc, int x, int y) {
    return static_cast<Colour>(::GetPixel(dc, x, y));
}

// Pixels of a 36-high key's label whose red part passes isInk, counted inside the face (the
// margin around it holds the outline and the dark background).
template <typename IsInk> int InkInKey(HDC dc, int x0, int x1, IsInk isInk) {
    int count = 0;
    for (int y = 4; y < 32; ++y) {
        for (int x = x0 + 4; x < x1 - 4; ++x) {
            count += isInk(GetRValue(::GetPixel(dc, x, y))) ? 1 : 0;
        }
    }
    return count;
}

// Black letters, as on a key still to test.
int DarkInk(HDC dc, int x0, int x1) {
    return InkInKey(dc, x0, x1, [](int red) { return red < 80; });
}

Colour RoleColour(int role, Colour fill) {
    switch (role) {
    case static_cast<int>(PaintRole::Background):
        return kBackground;
    case static_cast<int>(PaintRole::Fill):
        return fill;
    default:
        return kOutline;
    }
}

// Every pixel the plan touches has the plan's colour; untouched ones keep `untouched`.
int CountMismatches(HDC dc, const RoleGrid& grid, Colour fill, Colour untouched) {
    int mismatches = 0;
    for (int y = 0; y < grid.Height(); ++y) {
        for (int x = 0; x < grid.Width(); ++x) {
            const int role = grid.At(x, y);
            const Colour expected = role < 0 ? untouched : RoleColour(role, fill);
            if (Pixel(dc, x, y) != expected) {
                ++mismatches;
            }
        }
    }
    return mismatches;
}
} // namespace

TEST(KeyboardWindowDraw, ThirtySixPixelKeyFace) {
    ViewHost host(72, 36);
    AddKey(host.view->Layout(), 0, 0, 36, 36);
    host.view->RedrawAll();
    HDC dc = host.view->BufferDC();
    const Colour fill = MakeColour(160, 160, 160);
    EXPECT_EQ(Pixel(dc, 0, 18), kBackground);
    EXPECT_EQ(Pixel(dc, 35, 18), kBackground);
    EXPECT_EQ(Pixel(dc, 1, 18), kOutline);
    EXPECT_EQ(Pixel(dc, 34, 18), kOutline);
    EXPECT_EQ(Pixel(dc, 2, 18), fill);
    EXPECT_EQ(Pixel(dc, 33, 18), fill);
    EXPECT_EQ(Pixel(dc, 18, 1), kOutline);
    EXPECT_EQ(Pixel(dc, 18, 34), kOutline);
    // Cut corners.
    EXPECT_EQ(Pixel(dc, 1, 1), kBackground);
    EXPECT_EQ(Pixel(dc, 34, 1), kBackground);
    EXPECT_EQ(Pixel(dc, 1, 34), kBackground);
    EXPECT_EQ(Pixel(dc, 34, 34), kBackground);
    EXPECT_EQ(Pixel(dc, 2, 2), fill);
    RoleGrid grid(36, 36);
    grid.Apply(KeyFacePlan({0, 0, 36, 36}));
    EXPECT_EQ(CountMismatches(dc, grid, fill, kBackground), 0);
}

TEST(KeyboardWindowDraw, LShapedKeysMatchTheirPlansPixelForPixel) {
    struct Case {
        int left, right, bottom, secondWidth;
    };
    for (const Case c : {Case{0, 54, 72, 45}, Case{20, 56, 72, 54}, Case{10, 90, 73, 47}}) {
        ViewHost host(100, 80);
        HDC dc = host.view->BufferDC();
        // Something already drawn outside the L must survive.
        const Colour marker = MakeColour(1, 2, 3);
        RECT all{0, 0, 100, 80};
        const HBRUSH brush = ::CreateSolidBrush(marker);
        ::FillRect(dc, &all, brush);
        ::DeleteObject(brush);
        LayoutKey key;
        key.left = c.left;
        key.right = c.right;
        key.bottom = c.bottom;
        key.twoRow = true;
        key.secondRowWidth = c.secondWidth;
        key.state = Alarm;
        host.view->DrawKey(dc, key);
        RoleGrid grid(100, 80);
        grid.Apply(TwoRowKeyPlan(UpperPart(key), LowerPart(key)));
        EXPECT_EQ(CountMismatches(dc, grid, MakeColour(255, 160, 160), marker), 0)
            << c.left << "," << c.right << "," << c.secondWidth;
    }
}

TEST(KeyboardWindowDraw, InnerCornerPixels) {
    ViewHost host(100, 80);
    HDC dc = host.view->BufferDC();
    const Colour fill = MakeColour(160, 160, 160);
    LayoutKey narrower; // upper (0,0,54,36), lower (9,36,54,72)
    narrower.right = 54;
    narrower.bottom = 72;
    narrower.twoRow = true;
    narrower.secondRowWidth = 45;
    host.view->DrawKey(dc, narrower);
    EXPECT_EQ(Pixel(dc, 10, 34), fill);
    EXPECT_EQ(Pixel(dc, 9, 34), kOutline);  // step ends at l2
    EXPECT_EQ(Pixel(dc, 10, 35), kOutline); // lower left edge starts at m - 1
    EXPECT_EQ(Pixel(dc, 1, 34), kBackground);

    LayoutKey wider; // upper (60,0,96,36), lower (42,36,96,72)
    wider.left = 60;
    wider.right = 96;
    wider.bottom = 72;
    wider.twoRow = true;
    wider.secondRowWidth = 54;
    host.view->DrawKey(dc, wider);
    EXPECT_EQ(Pixel(dc, 61, 37), fill);
    EXPECT_EQ(Pixel(dc, 60, 37), kOutline);
    EXPECT_EQ(Pixel(dc, 61, 36), kOutline);
    EXPECT_EQ(Pixel(dc, 43, 37), kBackground);
    EXPECT_EQ(host.view->CachedFaceCount(), 0u);
}

TEST(KeyboardWindowDraw, TallTwoRowKeyIsOneCachedRectangle) {
    ViewHost host(40, 80);
    LayoutKey& key = AddKey(host.view->Layout(), 0, 0, 36, 72, L"+");
    key.twoRow = true;
    key.secondRowWidth = 36;
    host.view->RedrawAll();
    HDC dc = host.view->BufferDC();
    EXPECT_EQ(host.view->CachedFaceCount(), 1u);
    EXPECT_EQ(Pixel(dc, 1, 36), kOutline);
    EXPECT_EQ(Pixel(dc, 10, 35), MakeColour(160, 160, 160)); // no step between the rows
    EXPECT_EQ(Pixel(dc, 10, 70), kOutline);
}

TEST(KeyboardWindowDraw, LabelShowsOneAmpersandCentred) {
    ViewHost host(200, 36);
    AddKey(host.view->Layout(), 0, 0, 100, 36, L"7 &&");
    AddKey(host.view->Layout(), 100, 0, 200, 36, L"7 &");
    host.view->RedrawAll();
    HDC dc = host.view->BufferDC();
    // Measure the dark label pixels of each key.
    auto extent = [dc](int x0, int x1, int& minX, int& maxX, int& minY, int& maxY) {
        minX = minY = 1 << 20;
        maxX = maxY = -1;
        for (int y = 2; y < 34; ++y) {
            for (int x = x0 + 2; x < x1 - 2; ++x) {
                if (GetRValue(::GetPixel(dc, x, y)) < 80) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        }
    };
    int minX, maxX, minY, maxY;
    extent(0, 100, minX, maxX, minY, maxY);
    ASSERT_GE(maxX, 0) << "no label drawn";
    // Roughly centred: equal margins within a few pixels.
    EXPECT_NEAR(minX - 0, 100 - 1 - maxX, 4);
    EXPECT_NEAR(minY, 35 - maxY, 4);
    // "7 &&" drawn with prefix processing looks like "7 &": same ink as the second key
    // would have with "7 &" measured without the prefix underline.
    HDC probe = ::CreateCompatibleDC(dc);
    ::SelectObject(probe, host.view->LabelFont());
    SIZE single{}, doubled{};
    ::GetTextExtentPoint32W(probe, L"7 &", 3, &single);
    ::GetTextExtentPoint32W(probe, L"7 &&", 4, &doubled);
    ::DeleteDC(probe);
    const int inkWidth = maxX - minX + 1;
    EXPECT_LE(inkWidth, single.cx);
    EXPECT_LT(inkWidth, doubled.cx - 2);
}

TEST(KeyboardWindowDraw, ALabelWiderThanItsKeyStaysInsideIt) {
    ViewHost host(108, 36);
    AddKey(host.view->Layout(), 0, 0, 36, 36, L"Backspace");
    AddKey(host.view->Layout(), 36, 0, 72, 36);
    AddKey(host.view->Layout(), 72, 0, 108, 36, L"Enter\nNumpad Enter");
    host.view->RedrawAll();
    HDC dc = host.view->BufferDC();
    EXPECT_GT(DarkInk(dc, 0, 36), 0) << "the label is not drawn at all";
    EXPECT_EQ(DarkInk(dc, 36, 72), 0) << "a neighbour's label runs into the empty key";
    EXPECT_GT(DarkInk(dc, 72, 108), 0);
}

TEST(KeyboardWindowDraw, InvalidStateIsMagentaAndASkippedKeyNeutralGreyWithAPaleLabel) {
    ViewHost host(108, 36);
    AddKey(host.view->Layout(), 0, 0, 36, 36).state = 6;
    AddKey(host.view->Layout(), 36, 0, 72, 36, L"W").state = Skipped;
    AddKey(host.view->Layout(), 72, 0, 108, 36, L"W");
    host.view->RedrawAll();
    HDC dc = host.view->BufferDC();
    EXPECT_EQ(Pixel(dc, 10, 10), MakeColour(255, 0, 255));
    EXPECT_EQ(Pixel(dc, 46, 6), MakeColour(0x78, 0x78, 0x78));
    // The skipped key reads as left out: pale letters, not the black of a key still to test.
    EXPECT_GT(InkInKey(dc, 36, 72, [](int red) { return red > 0xB0; }), 0);
    EXPECT_EQ(DarkInk(dc, 36, 72), 0);
    EXPECT_GT(DarkInk(dc, 72, 108), 0);
}

TEST(KeyboardWindowCache, SharedFacesAndSetStateColoursEmptiesTheCache) {
    ViewHost host(144, 72);
    KeyboardLayout& layout = host.view->Layout();
    AddKey(layout, 0, 0, 36, 36, L"A");
    AddKey(layout, 36, 0, 72, 36, L"B");
    AddKey(layout, 72, 0, 144, 36, L"Shift");
    LayoutKey& pressed = AddKey(layout, 0, 36, 36, 72, L"C");
    pressed.state = Pressed;
    host.view->RedrawAll();
    EXPECT_EQ(host.view->CachedFaceCount(), 3u); // 36x36 unpressed, 72x36, 36x36 pressed

    host.view->SetStateColours(MakeColour(10, 20, 30), MakeColour(0, 0, 255), MakeColour(0, 255, 0),
                               MakeColour(255, 0, 0));
    EXPECT_EQ(host.view->CachedFaceCount(), 3u); // rebuilt by the redraw, in the new colours
    EXPECT_EQ(Pixel(host.view->BufferDC(), 10, 10), MakeColour(10, 20, 30));
    EXPECT_EQ(Pixel(host.view->BufferDC(), 10, 46), MakeColour(0, 255, 0));

    host.view->ResetKeyStates();
    EXPECT_EQ(pressed.state, Unpressed);
    EXPECT_EQ(Pixel(host.view->BufferDC(), 10, 46), MakeColour(10, 20, 30));
}

TEST(KeyboardWindowSize, BufferFollowsTheWindowAndLogs) {
    CapturedLog log;
    ViewHost host(0, 0);
    host.view->RedrawAll(); // an empty layout in an empty window draws nothing
    host.Resize(50, 40);
    EXPECT_NE(log.Text().find(L"KeyboardWindow::OnSize(50, 40) - reallocating and drawing "
                              L"keyboard buffer.\n"),
              std::wstring::npos);
    BITMAP info{};
    HGDIOBJ buffer = ::GetCurrentObject(host.view->BufferDC(), OBJ_BITMAP);
    ASSERT_EQ(::GetObjectW(buffer, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 50);
    EXPECT_EQ(info.bmHeight, 40);
    EXPECT_EQ(Pixel(host.view->BufferDC(), 49, 39), kBackground);
}

TEST(KeyboardWindowRepaint, KeysChangedBeforeAPaintAreAllOnTheScreenAfterIt) {
    ViewHost host(300, 40);
    ::ShowWindow(::GetParent(host.Child()), SW_SHOWNOACTIVATE);
    const Colour held = MakeColour(10, 200, 30);
    host.view->SetStateColours(MakeColour(90, 90, 90), held, MakeColour(0, 0, 250),
                               MakeColour(250, 0, 0));
    std::vector<LayoutKey*> keys;
    for (int x : {0, 130, 260}) {
        keys.push_back(&AddKey(host.view->Layout(), x, 0, x + 36, 36));
    }
    host.view->RedrawAll();
    ::UpdateWindow(host.Child());
    // A burst: the outer keys change, then the middle one, with no paint in between.
    for (int i : {2, 0, 1}) {
        LayoutKey& key = *keys[static_cast<std::size_t>(i)];
        key.state = KeyState::Depressed;
        host.view->DrawKey(host.view->BufferDC(), key);
        host.view->RepaintKey(key);
    }
    RECT pending{};
    ASSERT_TRUE(::GetUpdateRect(host.Child(), &pending, FALSE));
    EXPECT_LE(pending.left, 0);
    EXPECT_GE(pending.right, 296);
    ::UpdateWindow(host.Child());
    EXPECT_FALSE(::GetUpdateRect(host.Child(), &pending, FALSE));
    HDC screen = ::GetDC(host.Child());
    for (int x : {18, 148, 278}) {
        EXPECT_EQ(Pixel(screen, x, 18), held) << "key at " << x;
    }
    EXPECT_EQ(Pixel(screen, 80, 18), kBackground);
    ::ReleaseDC(host.Child(), screen);
    // After the paint a change asks again, for its own key only.
    LayoutKey& first = *keys[0];
    first.state = KeyState::Unpressed;
    host.view->DrawKey(host.view->BufferDC(), first);
    host.view->RepaintKey(first);
    ASSERT_TRUE(::GetUpdateRect(host.Child(), &pending, FALSE));
    EXPECT_LE(pending.right, 40);
}

TEST(KeyboardWindowLoad, KeysThatCannotBeDrawnAreNamedAtLoad) {
    ViewHost host(100, 100);
    CapturedLog log;
    KeyNameTable names;
    ASSERT_TRUE(LoadLayoutText(L"T\nR1, 0x01, \"a\", \"a\", 1\n"
                               L"R1, 0x02, \"b\", \"b\", 0\n",
                               36, host.view->Layout(), names));
    EXPECT_NE(log.Text().find(L"   Key 2 (0x0002) cannot be drawn: its rectangle (36, 0, 36, 36) "
                              L"is empty.\n"),
              std::wstring::npos)
        << log.Text();
    EXPECT_EQ(log.Text().find(L"Key 1 "), std::wstring::npos);
}

TEST(KeyboardWindowBadInput, HugeAndNegativeKeysDoNotCrash) {
    CapturedLog log;
    ViewHost host(100, 100);
    AddKey(host.view->Layout(), 0, 0, 100000, 100000, L"huge");
    AddKey(host.view->Layout(), 36, 0, 0, 36, L"neg");
    LayoutKey& negativeLower = AddKey(host.view->Layout(), 0, 0, 36, 72, L"L");
    negativeLower.twoRow = true;
    negativeLower.secondRowWidth = -20;
    AddKey(host.view->Layout(), 0, 0, 36, 36, L"ok");
    host.view->RedrawAll();
    EXPECT_NE(log.Text().find(L"   DrawKey(\"huge\", state 0) - key missing from cache following "
                              L"add.\n"),
              std::wstring::npos);
    EXPECT_EQ(log.Text().find(L"\"neg\""), std::wstring::npos);
    EXPECT_EQ(Pixel(host.view->BufferDC(), 10, 10), MakeColour(160, 160, 160));
}

TEST(MessageFont, PointSizesAndPitch) {
    HFONT standard = CreateMessageFont(0, false);
    HFONT large = CreateMessageFont(20, false);
    HFONT fixed = CreateMessageFont(10, true);
    ASSERT_NE(standard, nullptr);
    ASSERT_NE(large, nullptr);
    ASSERT_NE(fixed, nullptr);
    LOGFONTW info{};
    ::GetObjectW(large, sizeof(info), &info);
    HDC screen = ::CreateCompatibleDC(nullptr);
    EXPECT_EQ(info.lfHeight, -::MulDiv(20, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::GetObjectW(fixed, sizeof(info), &info);
    EXPECT_EQ(info.lfPitchAndFamily & 3, FIXED_PITCH);
    EXPECT_EQ(info.lfFaceName[0], L'\0');
    ::DeleteDC(screen);
    ::DeleteObject(standard);
    ::DeleteObject(large);
    ::DeleteObject(fixed);
}
