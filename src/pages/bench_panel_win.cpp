#include "pages/bench_panel_win.h"

#include "base/dpi_scale.h"
#include "resources/resource.h"
#include "ui/colour_scheme.h"
#include "ui/window_dpi.h"

#include <algorithm>

namespace {

// Distinct at a glance and readable from a distance: blue asks for a unit, grey with yellow
// counts keys, green passed, red failed, orange needs the operator.
struct ToneColours {
    Colour background;
    Colour text;
};

ToneColours ColoursOf(BenchTone tone) {
    switch (tone) {
    case BenchTone::Waiting:
        return {MakeColour(28, 86, 158), MakeColour(255, 255, 255)};
    case BenchTone::Testing:
        return {MakeColour(34, 34, 34), Palette::LampOn};
    case BenchTone::Pass:
        return {MakeColour(18, 138, 48), MakeColour(255, 255, 255)};
    case BenchTone::Fail:
        return {MakeColour(196, 28, 28), MakeColour(255, 255, 255)};
    case BenchTone::Problem:
        return {MakeColour(230, 130, 0), MakeColour(0, 0, 0)};
    }
    return {Palette::MainBackground, Palette::BrightText};
}

// The message font at pointSize, bold when asked, for a screen of dpi.
HFONT CreateBannerFont(int pointSize, bool bold, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (NonClientMetricsForDpi(metrics, dpi)) {
        font = metrics.lfMessageFont;
    }
    font.lfHeight = -::MulDiv(pointSize, dpi, 72);
    font.lfWidth = 0;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = CLEARTYPE_QUALITY;
    return ::CreateFontIndirectW(&font);
}

constexpr int kHeadlinePoints = 22;
constexpr int kSmallHeadlinePoints = 13; // a long FAIL line
constexpr int kDetailPoints = 9;
constexpr int kUnitPoints = 12;

// 96-DPI pixels of the strip.
constexpr int kStripHeight = 64;
constexpr int kStripGap = 6;
constexpr int kLabelWidth = 34;
constexpr int kBoxWidth = 170;
constexpr int kBannerLeft = 216;

} // namespace

void BenchBannerWindow::Show(const BenchBanner& banner) {
    if (banner.headline == banner_.headline && banner.detail == banner_.detail &&
        banner.tone == banner_.tone && banner.detailIsProblem == banner_.detailIsProblem) {
        return;
    }
    banner_ = banner;
    // The text a screen reader (or a test) reads: the headline, then the detail.
    const std::wstring text = banner_.headline + L" - " + banner_.detail;
    ::SetWindowTextW(Handle(), text.c_str());
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void BenchBannerWindow::SetDpi(int dpi) {
    dpi_ = dpi;
    headlineFont_.Reset(CreateBannerFont(kHeadlinePoints, true, dpi));
    detailFont_.Reset(CreateBannerFont(kDetailPoints, false, dpi));
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void BenchBannerWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    Paint(dc);
    ::EndPaint(Handle(), &paint);
}

void BenchBannerWindow::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const ToneColours colours = ColoursOf(banner_.tone);
    OwnedBrush fill(::CreateSolidBrush(colours.background));
    ::FillRect(dc, &client, fill.Get());
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, colours.text);
    const int margin = ScaleToDpi(8, dpi_);
    const int detailHeight = ScaleToDpi(18, dpi_);
    RECT headline{client.left + margin, client.top, client.right - margin,
                  client.bottom - detailHeight};
    RECT detail{client.left, headline.bottom, client.right, client.bottom};
    DrawHeadline(dc, headline);
    if (banner_.detailIsProblem) {
        // A problem to act on stands out below the verdict without hiding its colour.
        const ToneColours problem = ColoursOf(BenchTone::Problem);
        OwnedBrush band(::CreateSolidBrush(problem.background));
        ::FillRect(dc, &detail, band.Get());
        ::SetTextColor(dc, problem.text);
    }
    {
        SelectedObject font(dc, detailFont_.Get());
        RECT text{detail.left + margin, detail.top, detail.right - margin, detail.bottom};
        ::DrawTextW(dc, banner_.detail.c_str(), -1, &text,
                    DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
}

void BenchBannerWindow::DrawHeadline(HDC dc, const RECT& area) {
    const int width = area.right - area.left;
    SelectedObject font(dc, headlineFont_.Get());
    RECT measured = area;
    ::DrawTextW(dc, banner_.headline.c_str(), -1, &measured,
                DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    if (measured.right - measured.left <= width) {
        RECT line = area;
        ::DrawTextW(dc, banner_.headline.c_str(), -1, &line,
                    DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    // A long FAIL line: smaller, on as many lines as the band holds, centred as a block.
    OwnedFont smaller(CreateBannerFont(kSmallHeadlinePoints, true, dpi_));
    SelectedObject small(dc, smaller.Get());
    RECT block = area;
    ::DrawTextW(dc, banner_.headline.c_str(), -1, &block,
                DT_WORDBREAK | DT_CENTER | DT_CALCRECT | DT_NOPREFIX);
    const int height = std::min<int>(block.bottom - block.top, area.bottom - area.top);
    RECT lines{area.left, area.top + (area.bottom - area.top - height) / 2, area.right,
               area.top + (area.bottom - area.top + height) / 2};
    ::DrawTextW(dc, banner_.headline.c_str(), -1, &lines,
                DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

bool BenchBannerWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1; // the paint fills everything
        return true;
    default:
        return false;
    }
}

bool UnitBox::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter belongs to the box, not to the dialog's default button.
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        result = DefaultProcessing(message, wParam, lParam);
        if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
            result |= DLGC_WANTALLKEYS;
        }
        return true;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            enterDown_ = true;
            result = 0;
            return true;
        }
        return false;
    case WM_KEYUP:
        // On the release: with Enter still down, raw input (on again once the unit starts)
        // would log its release as the unit's first key.
        if (wParam == VK_RETURN && enterDown_) {
            enterDown_ = false;
            onEnter_();
            result = 0;
            return true;
        }
        return false;
    case WM_KILLFOCUS:
        enterDown_ = false;
        return false;
    case WM_CHAR:
        // A single-line box would beep at the line end a scanner sends.
        if (wParam == L'\r' || wParam == L'\n') {
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

BenchPanel::BenchPanel(std::function<void()> onEnter)
    : unitBox_(std::move(onEnter)), finish_(Palette::BrightText, Palette::MainBackground) {}

void BenchPanel::Create(HWND page, int dpi) {
    if (Created()) {
        return;
    }
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(page, GWLP_HINSTANCE));
    const auto make = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style,
                          DWORD exStyle, int id) {
        return ::CreateWindowExW(exStyle, windowClass, text, WS_CHILD | style, 0, 0, 10, 10, page,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                 nullptr);
    };
    unitLabel_ = make(L"STATIC", L"Unit:", SS_LEFT, 0, IDC_KBD_UNIT_LABEL);
    unitBox_.SubclassWindow(
        make(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, IDC_KBD_UNIT));
    ::SendMessageW(unitBox_.Handle(), EM_SETLIMITTEXT, 200, 0);
    finish_.SubclassWindow(make(L"BUTTON", L"Finish", WS_TABSTOP | BS_OWNERDRAW, 0, kFinishId));
    timeLeft_ = make(L"STATIC", L"", SS_LEFT, 0, IDC_KBD_TIME_LEFT);
    banner_.SubclassWindow(make(L"STATIC", L"", SS_LEFT, 0, IDC_KBD_BANNER));
    const LPARAM pageFont = static_cast<LPARAM>(::SendMessageW(page, WM_GETFONT, 0, 0));
    for (HWND control : {unitLabel_, finish_.Handle(), timeLeft_}) {
        ::SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(pageFont), FALSE);
    }
    SetDpi(dpi);
}

void BenchPanel::SetDpi(int dpi) {
    if (!Created()) {
        return;
    }
    finish_.SetDpi(dpi);
    banner_.SetDpi(dpi);
    unitFont_.Reset(CreateBannerFont(kUnitPoints, false, dpi));
    ::SendMessageW(unitBox_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(unitFont_.Get()), TRUE);
}

void BenchPanel::Show(bool shown) {
    shown_ = shown;
    for (HWND control : {unitLabel_, unitBox_.Handle(), timeLeft_, banner_.Handle()}) {
        ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    }
    ShowFinish(finishShown_);
}

int BenchPanel::Height(int dpi) {
    return ScaleToDpi(kStripHeight, dpi);
}

int BenchPanel::Gap(int dpi) {
    return ScaleToDpi(kStripGap, dpi);
}

void BenchPanel::Place(int left, int top, int width, int dpi) {
    const auto s = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
    const int boxLeft = left + s(kLabelWidth + 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(unitLabel_, nullptr, left, top + s(6), s(kLabelWidth), s(16), flags);
    ::SetWindowPos(unitBox_.Handle(), nullptr, boxLeft, top, s(kBoxWidth), s(28), flags);
    ::SetWindowPos(finish_.Handle(), nullptr, boxLeft, top + s(36), s(80), s(26), flags);
    ::SetWindowPos(timeLeft_, nullptr, boxLeft + s(86), top + s(41), s(kBoxWidth - 86), s(16),
                   flags);
    const int bannerLeft = left + s(kBannerLeft);
    ::SetWindowPos(banner_.Handle(), nullptr, bannerLeft, top,
                   std::max(width - (bannerLeft - left), s(100)), Height(dpi), flags);
}

int BenchPanel::Top(HWND page) const {
    RECT rect{};
    ::GetWindowRect(banner_.Handle(), &rect);
    POINT corner{rect.left, rect.top};
    ::ScreenToClient(page, &corner);
    return corner.y;
}

void BenchPanel::ShowTimeLeft(const std::wstring& text) {
    wchar_t shown[64] = {};
    ::GetWindowTextW(timeLeft_, shown, 64);
    if (text != shown) {
        ::SetWindowTextW(timeLeft_, text.c_str());
    }
}

std::wstring BenchPanel::UnitText() const {
    const int length = ::GetWindowTextLengthW(unitBox_.Handle());
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(unitBox_.Handle(), text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void BenchPanel::ClearUnitText() {
    ::SetWindowTextW(unitBox_.Handle(), L"");
}

void BenchPanel::FocusUnitBox() {
    ::SetFocus(unitBox_.Handle());
}

void BenchPanel::ShowFinish(bool shown) {
    finishShown_ = shown;
    ::ShowWindow(finish_.Handle(), shown_ && shown ? SW_SHOW : SW_HIDE);
}
