#pragma once
// The SETTINGS page: edits AppSettings in place, every change at the moment it happens.
#include "settings/app_settings.h"
#include "ui/buttons.h"
#include "ui/gdi_objects.h"
#include "ui/message_loop.h"
#include "ui/modeless_dialog.h"
#include "ui/static_controls.h"
#include "ui/window_base.h"
#include "ui/window_dpi.h"

#include <string>

// The two modal platform dialogs the page opens. The page talks to them through this seam so
// that its handling can be driven without a person at the screen.
class SettingsPageDialogs {
public:
    // True with the chosen colour; false when the user cancelled.
    virtual bool PickColour(HWND owner, Colour initial, Colour& chosen) = 0;
    // True with a file-system folder; false when the user cancelled or chose something that has
    // no path.
    virtual bool BrowseForFolder(HWND owner, const std::wstring& title,
                                 const std::wstring& startFolder, std::wstring& chosen) = 0;
    // True with the path of an existing test plan file; false when the user cancelled.
    virtual bool BrowseForPlan(HWND owner, const std::wstring& title, const std::wstring& startPath,
                               std::wstring& chosen) = 0;

protected:
    ~SettingsPageDialogs() = default;
};

// ChooseColorW, SHBrowseForFolderW and GetOpenFileNameW. The colour dialog's custom colours are
// kept for the whole run (all black at start).
SettingsPageDialogs& PlatformSettingsDialogs();

class CSettingsDlg : public ModelessDialog, public CIdleHandler {
public:
    // The colour buttons take the record's colours as they are now, before settings are loaded.
    explicit CSettingsDlg(AppSettings& settings = Settings(),
                          SettingsPageDialogs& dialogs = PlatformSettingsDialogs());

    // Creates the page (template 203) as a hidden child of the main window.
    HWND Create(HWND parent);

    // Shows the record in the page's controls; called once after the settings were loaded.
    void RefreshFromSettings();
    // Writes the program's version into the version label.
    void ShowVersion();
    // The page and its controls drawn for a screen of this DPI.
    void SetDpi(int dpi);

    BOOL OnIdle() override { return FALSE; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void ApplyDpiToControls();
    void OnDestroy();
    bool OnCommand(int id, UINT code, HWND control);
    void OnPickColour(int id);
    void OnBrowseFolder(int id);
    void OnBrowsePlan();
    void OnEditNotification(int id, UINT code, HWND edit);
    LRESULT OnCtlColor(UINT message, HDC dc, HWND control) override;
    FlatColorButton* ColourButton(int id);

    AppSettings& settings_;
    SettingsPageDialogs& dialogs_;
    FlatColorButton unpressedButton_;
    FlatColorButton depressedButton_;
    FlatColorButton pressedButton_;
    FlatColorButton alarmButton_;
    FlatButton browseLogButton_;
    FlatButton browseLayoutButton_;
    FlatButton browsePlanButton_;
    FlatButton browseBenchOutputButton_;
    FlatGroupbox loggingGroup_;
    FlatGroupbox layoutGroup_;
    FlatGroupbox benchGroup_;
    DialogDpi dialogDpi_;
    Colour textColour_;
    Colour backgroundColour_;
    OwnedBrush pageBrush_;  // page background
    OwnedBrush frameBrush_; // fill of the group boxes, behind their labels
    HWND logFolderEdit_ = nullptr;
    HWND layoutFolderEdit_ = nullptr;
    HWND prefixEdit_ = nullptr;
    HWND chatterEdit_ = nullptr;
    HWND benchPlanEdit_ = nullptr;
    HWND benchOutputEdit_ = nullptr;
};
