#include "ui/window_dpi.h"

#include <vector>

namespace {
// Functions of newer user32 versions, looked up once.
struct DpiFunctions {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
    BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, int, int) = nullptr;

    DpiFunctions() {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) {
            return;
        }
        Load(user32, "GetDpiForWindow", getDpiForWindow);
        Load(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
        Load(user32, "SystemParametersInfoForDpi", systemParametersInfoForDpi);
        Load(user32, "SetDialogDpiChangeBehavior", setDialogDpiChangeBehavior);
    }

    template <typename Function> static void Load(HMODULE module, const char* name, Function& f) {
        f = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions;
    return functions;
}

// The dialog manager's own DPI handling switched off entirely.
constexpr int kDialogDpiDisableAll = 0x0001;

// The message font of older metrics structures: accepted by every version of Windows.
constexpr UINT kNonClientMetricsSize = 500;

void ScaleLogFont(LOGFONTW& font, int fromDpi, int toDpi) {
    font.lfHeight = ScaleBetweenDpi(font.lfHeight, fromDpi, toDpi);
    font.lfWidth = ScaleBetweenDpi(font.lfWidth, fromDpi, toDpi);
}
} // namespace

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return kBaseDpi;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
    if (window != nullptr && Functions().getDpiForWindow != nullptr) {
        const UINT dpi = Functions().getDpiForWindow(window);
        if (dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, int dpi) {
    if (Functions().adjustWindowRectExForDpi != nullptr) {
        return Functions().adjustWindowRectExForDpi(&rect, style, hasMenu ? TRUE : FALSE, exStyle,
                                                    static_cast<UINT>(dpi)) != FALSE;
    }
    return ::AdjustWindowRectEx(&rect, style, hasMenu ? TRUE : FALSE, exStyle) != FALSE;
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kNonClientMetricsSize;
    if (Functions().systemParametersInfoForDpi != nullptr &&
        Functions().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize,
                                               &metrics, 0, static_cast<UINT>(dpi))) {
        return true;
    }
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kNonClientMetricsSize;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
        return false;
    }
    const int system = SystemDpi();
    if (dpi != system) {
        for (LOGFONTW* font :
             {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
              &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            ScaleLogFont(*font, system, dpi);
        }
    }
    return true;
}

void TakeOverDialogDpiScaling(HWND dialog) {
    if (dialog != nullptr && Functions().setDialogDpiChangeBehavior != nullptr) {
        Functions().setDialogDpiChangeBehavior(dialog, kDialogDpiDisableAll, kDialogDpiDisableAll);
    }
}

void RescaleChildren(HWND parent, int fromDpi, int toDpi, HFONT oldFont, HFONT newFont) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    for (HWND child : children) {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        const PixelRect scaled =
            ScaleRectBetween({rect.left, rect.top, rect.right, rect.bottom}, fromDpi, toDpi);
        ::SetWindowPos(child, nullptr, scaled.left, scaled.top, scaled.Width(), scaled.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (newFont != nullptr &&
            reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont) {
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
        }
    }
}

HFONT RescaleFont(HFONT font, int fromDpi, int toDpi) {
    LOGFONTW description{};
    if (font == nullptr || ::GetObjectW(font, sizeof(description), &description) == 0) {
        return nullptr;
    }
    // Rounded towards the smaller font: text widths grow a little faster than font heights,
    // and the controls the text sits in grow exactly with the scale.
    description.lfHeight =
        static_cast<LONG>(static_cast<long long>(description.lfHeight) * toDpi / fromDpi);
    description.lfWidth =
        static_cast<LONG>(static_cast<long long>(description.lfWidth) * toDpi / fromDpi);
    return ::CreateFontIndirectW(&description);
}

void DialogDpi::Attach(HWND dialog) {
    dialog_ = dialog;
    dpi_ = createdDpi_ = WindowDpi(dialog);
    createdFont_ = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    TakeOverDialogDpiScaling(dialog);
}

bool DialogDpi::Change(int dpi) {
    if (dialog_ == nullptr || dpi <= 0 || dpi == dpi_) {
        return false;
    }
    HFONT current = scaledFont_ ? scaledFont_.Get() : createdFont_;
    OwnedFont replaced;
    HFONT next = createdFont_;
    if (dpi != createdDpi_) {
        replaced.Reset(RescaleFont(createdFont_, createdDpi_, dpi));
        if (replaced) {
            next = replaced.Get();
        }
    }
    RescaleChildren(dialog_, dpi_, dpi, current, next);
    // The old font goes only once no control uses it any more.
    scaledFont_ = std::move(replaced);
    dpi_ = dpi;
    return true;
}
