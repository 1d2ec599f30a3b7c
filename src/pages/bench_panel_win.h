#pragma once
// The bench mode strip of the keyboard test page, above the keyboard: the Unit box that a
// barcode scanner types into, the Finish button, the time left and a large banner that tells
// the operator at a glance what to do or how the unit did. The page decides; this shows.
#include "session/bench_flow.h"
#include "ui/buttons.h"
#include "ui/gdi_objects.h"
#include "ui/window_base.h"

#include <functional>
#include <string>

#include <windows.h>

// The banner: a coloured band with a large headline and a line of detail below it.
class BenchBannerWindow final : public SubclassedWindow {
public:
    void Show(const BenchBanner& banner);
    // Fonts for a screen of dpi.
    void SetDpi(int dpi);
    const BenchBanner& Shown() const { return banner_; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnPaint();
    void Paint(HDC dc);
    void DrawHeadline(HDC dc, const RECT& area);

    BenchBanner banner_;
    OwnedFont headlineFont_;
    OwnedFont detailFont_;
    int dpi_ = kBaseDpi;
};

// An edit box that reports Enter instead of letting the dialog take it.
class UnitBox final : public SubclassedWindow {
public:
    explicit UnitBox(std::function<void()> onEnter) : onEnter_(std::move(onEnter)) {}

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::function<void()> onEnter_;
    bool enterDown_ = false;
};

class BenchPanel {
public:
    // onEnter: Enter was pressed and released in the Unit box.
    explicit BenchPanel(std::function<void()> onEnter);

    // Makes the controls as children of page the first time (hidden).
    void Create(HWND page, int dpi);
    bool Created() const { return banner_.Handle() != nullptr; }
    bool Shown() const { return shown_; }
    void Show(bool shown);
    // Height of the strip at dpi, and the gap below it.
    static int Height(int dpi);
    static int Gap(int dpi);
    // The strip at left, top, width wide, for a screen of dpi.
    void Place(int left, int top, int width, int dpi);
    // Top of the strip in page pixels.
    int Top(HWND page) const;
    void SetDpi(int dpi);

    void ShowBanner(const BenchBanner& banner) { banner_.Show(banner); }
    void ShowTimeLeft(const std::wstring& text);
    // The unit as typed; emptied once its test starts (a unit that cannot start yet stays).
    std::wstring UnitText() const;
    void ClearUnitText();
    void FocusUnitBox();
    HWND UnitBoxHandle() const { return unitBox_.Handle(); }
    // Finish is there only while a unit is under test.
    void ShowFinish(bool shown);
    // The controls whose drawing messages the page hands back to them.
    static bool IsReflected(int id) { return id == kFinishId; }

private:
    static constexpr int kFinishId = 1084;

    UnitBox unitBox_;
    FlatButton finish_;
    BenchBannerWindow banner_;
    HWND unitLabel_ = nullptr;
    HWND timeLeft_ = nullptr;
    OwnedFont unitFont_;
    bool shown_ = false;
    bool finishShown_ = false;
};
