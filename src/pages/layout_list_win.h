#pragma once
// The layout list of the keyboard test page (combo box 1021) and the page's side of a layout
// selection on Windows.
#include "layouts/layout_selection.h"

#include <windows.h>

#include <array>
#include <functional>

class KeyboardWindow;

// Empties the combo box and adds every entry's name in library order.
void FillLayoutCombo(HWND combo, const LayoutLibrary& library);
// Selects the item of the library entry at index.
void HighlightLayoutCombo(HWND combo, int index);
// The layout folder setting with environment references expanded, however long.
std::wstring ExpandLayoutFolder(const std::wstring& setting);

// The keyboard test page's controls and keyboard view as a selection needs them.
struct LayoutPageControls {
    HWND page = nullptr;
    HWND combo = nullptr;                // 1021
    HWND logView = nullptr;              // 1005
    HWND logStatus = nullptr;            // 1071
    HWND statusCaption = nullptr;        // 1068
    std::array<HWND, 6> lastKeyFields{}; // 1030 to 1035
    // Writes a red line into the event log.
    std::function<void(const std::wstring&)> reportFailure;
};

class WinLayoutPage final : public LayoutPage {
public:
    // keyStatesReset runs after every reset of the key states (each layout load).
    WinLayoutPage(const LayoutPageControls& controls, KeyboardWindow& view, StatusLabel& statusText,
                  std::function<void()> keyStatesReset = {});

    bool LoadLayoutFile(const std::wstring& path) override;
    bool LoadLayoutString(const std::wstring& text) override;
    void ResetKeyStates() override;
    void EmptyEventLog() override;
    void HideLogStatus() override;
    void ClearLastKeyFields() override;
    StatusLabel& LayoutStatusText() override { return statusText_; }
    void ShowStatusCaption(bool visible) override;
    void PostLayoutChanged() override;
    void HighlightLayoutEntry(int index) override;
    void FocusPage() override;
    const LayoutLoadFailure* LastLoadFailure() const override;
    void ReportLoadFailure(const std::wstring& line) override;

private:
    LayoutPageControls controls_;
    KeyboardWindow& view_;
    StatusLabel& statusText_;
    std::function<void()> keyStatesReset_;
};
