// Every shipped layout drawn by the keyboard view. The pictures are written to
// <build>/layout_screenshots/*.bmp so that they can be compared with the real boards.
#include "layouts/key_geometry.h"
#include "layouts/key_names.h"
#include "layouts/layout_parser.h"
#include "support/bitmap_file_win.h"
#include "support/test_support.h"
#include "ui/colour_scheme.h"
#include "view/keyboard_window_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr Colour kOutline = MakeColour(242, 242, 242);
constexpr Colour kBackground = MakeColour(51, 51, 51);

// The view in a hidden window of the layout's size, everything drawn into its buffer.
class LayoutPicture {
public:
    explicit LayoutPicture(const fs::path& file) {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"layout", WS_POPUP, 0, 0, 100, 100, nullptr,
                                    nullptr, nullptr, nullptr);
        HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1,
                                       parent_, reinterpret_cast<HMENU>(1022), nullptr, nullptr);
        view = std::make_unique<KeyboardWindow>(kOutline, kBackground, Palette::Black);
        view->SubclassWindow(child);
        KeyNameTable names;
        loaded = LoadLayoutFile(file.wstring(), 36, view->Layout(), names);
        width = view->Layout().width;
        height = view->Layout().height;
        ::SetWindowPos(child, nullptr, 0, 0, width, height, SWP_NOZORDER);
        view->ResetKeyStates();
    }
    ~LayoutPicture() {
        view.reset();
        ::DestroyWindow(parent_);
    }

    // The buffer's pixels, top row first, as 0x00RRGGBB.
    std::vector<DWORD> Pixels() const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dib == nullptr) {
            return {};
        }
        HDC memory = ::CreateCompatibleDC(nullptr);
        HGDIOBJ previous = ::SelectObject(memory, dib);
        ::BitBlt(memory, 0, 0, width, height, view->BufferDC(), 0, 0, SRCCOPY);
        ::GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        std::vector<DWORD> pixels(first, first + static_cast<std::size_t>(width) * height);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::DeleteObject(dib);
        return pixels;
    }

    std::unique_ptr<KeyboardWindow> view;
    bool loaded = false;
    int width = 0;
    int height = 0;

private:
    HWND parent_ = nullptr;
};

Colour At(const std::vector<DWORD>& pixels, int width, int x, int y) {
    const DWORD bgra = pixels[static_cast<std::size_t>(y) * width + x];
    return MakeColour((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

bool Inside(const PixelRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool CoveredByKey(const KeyboardLayout& layout, int x, int y) {
    for (const LayoutKey& key : layout.keys) {
        if (IsTwoRowShaped(key) ? Inside(UpperPart(key), x, y) || Inside(LowerPart(key), x, y)
                                : Inside(KeyRect(key), x, y)) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(ShippedLayoutPictures, EveryLayoutIsDrawnKeyForKey) {
    const fs::path shipped = fs::path(TAPWISE_SOURCE_DIR) / "layouts";
    const fs::path output = fs::path(TAPWISE_BINARY_DIR) / "layout_screenshots";
    fs::create_directories(output);
    const Colour unpressed = StateColours{}.unpressed;
    int pictures = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(shipped)) {
        SCOPED_TRACE(entry.path().filename().string());
        LayoutPicture picture(entry.path());
        ASSERT_TRUE(picture.loaded);
        const std::vector<DWORD> pixels = picture.Pixels();
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(picture.width) * picture.height);
        EXPECT_TRUE(WriteBmp(output / entry.path().filename().replace_extension(".bmp"),
                             picture.width, picture.height, pixels));
        ++pictures;

        const KeyboardLayout& layout = picture.view->Layout();
        for (const LayoutKey& key : layout.keys) {
            // Untested fill just inside the outline, and a label drawn somewhere on the key.
            const PixelRect face = IsTwoRowShaped(key) ? UpperPart(key) : KeyRect(key);
            EXPECT_EQ(At(pixels, picture.width, face.left + 3, face.top + 3), unpressed)
                << std::hex << key.scanCode;
            bool inked = false;
            for (int y = face.top + 3; y < face.bottom - 3 && !inked; ++y) {
                for (int x = face.left + 3; x < face.right - 3 && !inked; ++x) {
                    inked = At(pixels, picture.width, x, y) != unpressed;
                }
            }
            EXPECT_TRUE(inked) << "no label on " << std::hex << key.scanCode;
        }
        // Gaps of the board (blank places, the room beside short rows) stay background.
        int strayPixels = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                if (!CoveredByKey(layout, x, y) && At(pixels, picture.width, x, y) != kBackground) {
                    ++strayPixels;
                }
            }
        }
        EXPECT_EQ(strayPixels, 0);
    }
    EXPECT_EQ(pictures, 12);
}
