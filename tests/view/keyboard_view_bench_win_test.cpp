// Timing, GDI object accounting and a screenshot of the keyboard view. Disabled by default: run
// them by hand with --gtest_also_run_disabled_tests --gtest_filter='KeyboardViewManual.*'.
#include "layouts/default_layout.h"
#include "layouts/key_geometry.h"
#include "layouts/key_names.h"
#include "layouts/layout_parser.h"
#include "support/bitmap_file_win.h"
#include "ui/colour_scheme.h"
#include "view/keyboard_window_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr Colour kOutline = MakeColour(242, 242, 242);
constexpr Colour kBackground = MakeColour(51, 51, 51);

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Live GDI objects of the process. GetGuiResources where it reports them; otherwise (Wine
// answers 0) every slot of the handle table probed with a generation-free handle value.
unsigned CountGdiObjects(bool* probed) {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    *probed = reported == 0;
    if (reported != 0) {
        return reported;
    }
    unsigned count = 0;
    for (ULONG_PTR slot = 0; slot < 0x10000; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) {
            ++count;
        }
    }
    return count;
}

class ViewWindow {
public:
    // layoutPath empty: the built-in default layout.
    explicit ViewWindow(bool visible, const std::wstring& layoutPath = L"") {
        parent_ =
            ::CreateWindowExW(0, L"STATIC", L"Keyboard view", WS_POPUP | (visible ? WS_VISIBLE : 0),
                              0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        child_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, parent_,
                                   reinterpret_cast<HMENU>(1022), nullptr, nullptr);
        view = std::make_unique<KeyboardWindow>(kOutline, kBackground, Palette::Black);
        view->SubclassWindow(child_);
        KeyNameTable names;
        loaded = layoutPath.empty() ? LoadLayoutText(DefaultLayoutText(), 36, view->Layout(), names)
                                    : LoadLayoutFile(layoutPath, 36, view->Layout(), names);
        const KeyboardLayout& layout = view->Layout();
        ::SetWindowPos(parent_, nullptr, 0, 0, layout.width, layout.height, SWP_NOZORDER);
        ::SetWindowPos(child_, nullptr, 0, 0, layout.width, layout.height, SWP_NOZORDER);
        view->ResetKeyStates();
    }
    ~ViewWindow() {
        view.reset();
        ::DestroyWindow(parent_);
    }
    void Pump(int milliseconds) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(milliseconds);
        while (::GetTickCount() < end) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
            ::Sleep(10);
        }
    }
    std::unique_ptr<KeyboardWindow> view;
    bool loaded = false;
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
};

const LayoutKey* CommonKey(const KeyboardLayout& layout) {
    for (const LayoutKey& key : layout.keys) {
        if (!key.twoRow && key.right - key.left == 36 && key.bottom - key.top == 36) {
            return &key;
        }
    }
    return nullptr;
}

} // namespace

TEST(KeyboardViewManual, DISABLED_Timing) {
    ViewWindow window(false);
    ASSERT_TRUE(window.loaded);
    KeyboardWindow& view = *window.view;
    const LayoutKey* key = CommonKey(view.Layout());
    ASSERT_NE(key, nullptr);
    HDC buffer = view.BufferDC();
    view.DrawKey(buffer, *key);

    std::vector<double> perKey;
    for (int batch = 0; batch < 200; ++batch) {
        LARGE_INTEGER start, stop;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < 100; ++i) {
            view.DrawKey(buffer, *key);
        }
        ::QueryPerformanceCounter(&stop);
        perKey.push_back(Microseconds(start, stop) / 100);
    }
    std::vector<double> redraw;
    for (int run = 0; run < 200; ++run) {
        LARGE_INTEGER start, stop;
        ::QueryPerformanceCounter(&start);
        view.RedrawAll();
        ::QueryPerformanceCounter(&stop);
        redraw.push_back(Microseconds(start, stop));
    }
    std::printf("keys in the default layout: %zu, size %dx%d\n", view.Layout().keys.size(),
                view.Layout().width, view.Layout().height);
    std::printf("DrawKey, cached 36x36 key: median %.2f us per call (200 batches of 100)\n",
                Median(perKey));
    std::printf("RedrawAll, default layout: median %.1f us (200 runs)\n", Median(redraw));
}

TEST(KeyboardViewManual, DISABLED_GdiObjectsAfterManyRedraws) {
    ViewWindow window(false);
    ASSERT_TRUE(window.loaded);
    KeyboardWindow& view = *window.view;
    std::vector<LayoutKey*> keys;
    for (LayoutKey& key : view.Layout().keys) {
        keys.push_back(&key);
    }
    // Every key in every state once, so that the cache holds all the faces it will ever hold:
    // a count taken afterwards sees only leaks, not cache growth.
    auto everyFace = [&view, &keys] {
        for (std::int32_t state = 0; state < 5; ++state) {
            for (LayoutKey* key : keys) {
                key->state = state;
                view.DrawKey(view.BufferDC(), *key);
            }
        }
    };
    everyFace();
    bool probed = false;
    const unsigned before = CountGdiObjects(&probed);
    for (int i = 0; i < 100000; ++i) {
        LayoutKey& key = *keys[static_cast<size_t>(i) % keys.size()];
        key.state = (i / static_cast<int>(keys.size()) + i) % 5;
        view.DrawKey(view.BufferDC(), key);
        view.RepaintKey(key);
    }
    const std::size_t facesAtPeak = view.CachedFaceCount();
    view.SetStateColours(MakeColour(1, 2, 3), MakeColour(4, 5, 6), MakeColour(7, 8, 9),
                         MakeColour(10, 11, 12));
    view.ResetKeyStates();
    everyFace();
    const unsigned after = CountGdiObjects(&probed);
    std::printf("GDI objects (%s): before %u, after 100000 DrawKey/RepaintKey + SetStateColours "
                "+ ResetKeyStates %u; cached faces at peak %zu, now %zu\n",
                probed ? "handle table probed" : "GetGuiResources", before, after, facesAtPeak,
                view.CachedFaceCount());
    EXPECT_EQ(after, before);
}

// TAPWISE_SCREENSHOT_LAYOUT names another layout file to show (e.g. one with an L-shaped Enter).
TEST(KeyboardViewManual, DISABLED_Screenshot) {
    const wchar_t* other = _wgetenv(L"TAPWISE_SCREENSHOT_LAYOUT");
    ViewWindow window(true, other != nullptr ? other : L"");
    ASSERT_TRUE(window.loaded);
    KeyboardWindow& view = *window.view;
    int index = 0;
    for (LayoutKey& key : view.Layout().keys) {
        key.state = (index++ / 3) % 5;
    }
    view.RedrawAll();
    ::InvalidateRect(window.child_, nullptr, TRUE);
    window.Pump(1500);

    const int width = view.Layout().width;
    const int height = view.Layout().height;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HGDIOBJ previous = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + width * height);
    ::SelectObject(memory, previous);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    const std::string path = std::string(TAPWISE_BINARY_DIR) + "/keyboard_view.bmp";
    ASSERT_TRUE(WriteBmp(path, width, height, pixels));
    std::printf("screenshot %dx%d written to %s\n", width, height, path.c_str());

    // Sample each key just inside its outline: the screen shows the state's fill colour.
    int sampled = 0;
    int mismatches = 0;
    for (const LayoutKey& key : view.Layout().keys) {
        if (!IsDrawable(key)) {
            continue;
        }
        const PixelRect area = IsTwoRowShaped(key) ? UpperPart(key) : KeyRect(key);
        const int x = std::max(area.left, 0) + 3;
        const int y = area.top + 3;
        const DWORD bgra = pixels[static_cast<size_t>(y) * width + x];
        const Colour seen = MakeColour((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
        ++sampled;
        if (seen != FillColourForState(view.Colours(), key.state)) {
            ++mismatches;
        }
    }
    std::printf("sampled %d keys on screen, %d mismatches\n", sampled, mismatches);
    EXPECT_EQ(mismatches, 0);
}
