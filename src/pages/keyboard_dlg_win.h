#pragma once
// The LAYOUT page: the keyboard view, the event log, the lamps, the layout list and the log
// saving controls, and the road of every key from WM_INPUT to the coloured key.
#include "input/key_test_engine.h"
#include "input/lock_indicators_win.h"
#include "input/raw_input_win.h"
#include "input/remap_table.h"
#include "input/worker_thread_win.h"
#include "layouts/layout_selection.h"
#include "logging/log_files_win.h"
#include "logging/log_saving.h"
#include "pages/key_page_win.h"
#include "pages/layout_list_win.h"
#include "pages/status_label_win.h"
#include "report/report_model.h"
#include "ui/align_window.h"
#include "ui/buttons.h"
#include "ui/deferred_static.h"
#include "ui/gdi_objects.h"
#include "ui/message_loop.h"
#include "ui/modeless_dialog.h"
#include "ui/progress_static.h"
#include "ui/static_controls.h"
#include "ui/window_base.h"
#include "view/keyboard_window_win.h"
#include "view/log_viewer_win.h"

#include <memory>
#include <string>

class CKeyboardDlg : public ModelessDialog,
                     public CIdleHandler,
                     public AlignWindow,
                     private KeyTestPage {
public:
    CKeyboardDlg();
    ~CKeyboardDlg() override;

    // Creates the page (template 204) as a hidden child of the main window.
    HWND Create(HWND parent);

    // Fits the keyboard view to the active layout, the group boxes and log controls around it
    // and the page around them; shows or hides the log controls as ShowLog says.
    void Reflow();
    // Draws the layout with smaller keys when it is larger than maxWidth x maxHeight; true
    // when its size changed (the caller reflows again).
    bool FitKeyboard(int maxWidth, int maxHeight);
    // Shows the active input language in the language field.
    void UpdateInputLanguage();
    // Takes the state colours and the show-log switch from the settings.
    void ApplySettings();
    // The page can see key releases again (the program is back in the foreground, or raw input
    // is on again after an edit box): keys released meanwhile where it could not see them are
    // released now.
    void ReleaseKeysMissedWhileAway();

    BOOL OnIdle() override { return FALSE; }

    KeyboardWindow& View() { return keyboardView_; }
    const KeyboardLayout& Layout() const { return keyboardView_.Layout(); }
    const LayoutSelector& Selector() const { return selector_; }
    const KeyTestEngine& Engine() const { return engine_; }
    const KeyEventQueue& Events() const { return keyEvents_; }
    const ProgressStatic& Readout() const { return readout_; }
    RawInputReader& RawInput() { return rawInput_; }
    // The text an initialisation error box would show, for a page that must not block (tests).
    using ErrorBox = void (*)(HWND owner, const std::wstring& text, const std::wstring& caption);
    void SetErrorBox(ErrorBox box) { errorBox_ = box; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    void OnInitDialog();
    void AttachControls();
    void CreateFonts();
    void BuildLayoutList();
    void EnableRawInputAtStart();
    void OnDestroy();
    bool OnCommand(int id, UINT code);
    void OnClick_Clear();
    void OnClick_Save();
    // Writes the test report files beside the logs, with the Save button's rules.
    void OnClick_Report();
    ReportContext ReportContextNow() const;
    // Tested, faulty and rollover of the live readout, from the key states and the engine.
    void UpdateReadout();
    void OnLayoutChoice();
    LRESULT OnCtlColor(UINT message, HDC dc, HWND control);
    void IdentifyDevice(const RAWINPUT& record);
    void UpdateLogStatus();
    // After a key event: queued log lines are written once no key input waits (a posted
    // UWM_WRITE_LOG), or at once when the oldest has waited the delay limit.
    void ScheduleLogWrite();
    // Decodes the raw input already waiting, at most once per millisecond tick.
    void StampWaitingInput();
    void OnWriteLog();
    static LRESULT CALLBACK ShellHookProc(int code, WPARAM wParam, LPARAM lParam);

    // KeyTestPage: what the key test engine changes on the page.
    void SetFieldText(int control, const wchar_t* text) override;
    void AppendLine(const wchar_t* text, bool fault) override;
    void NotifyPressed(ScanCode code) override;
    void NotifyReleased(ScanCode code) override;
    void NotifyFault(ScanCode code) override;
    void RefreshLockIndicator(LockKey lock) override;
    int GetLayoutStatus() const override { return selector_.Status(); }
    void SetLayoutStatus(int status) override;
    void UpdateLayoutStatus() override {}

    LogViewer logViewer_;
    FlatButton clearButton_;
    FlatButton saveButton_;
    FlatButton reportButton_;
    FlatIndicator numLockLamp_;
    FlatIndicator scrollLockLamp_;
    FlatIndicator capsLockLamp_;
    LogSaver logSaver_; // the sequence number (from 1) and the log status
    Colour textColour_;
    Colour backgroundColour_;
    OwnedBrush pageBrush_;       // 0x454545
    OwnedBrush dimBrush_;        // 0xA4A4A4
    OwnedBrush lightBrush_;      // 0xDCDCDC
    OwnedBrush brightBrush_;     // 0xF2F2F2
    OwnedBrush frameBrush_;      // 0x333333
    FlatGroupbox infoGroup_;     // 1056
    FlatGroupbox layoutGroup_;   // 1050
    FlatGroupbox keyboardGroup_; // 1051
    ColorStatic statusCaption_;  // 1068
    ColorStatic statusText_;     // 1069
    ColorStatic statusError_;    // 1070
    ColorStatic logStatus_;      // 1071
    ProgressStatic readout_;     // 1080
    // The six last-key fields (1030-1035) and the held-keys line (1054): written on every key
    // event, painted once per paint.
    DeferredStatic keyFields_[7];
    bool showLog_ = true;
    LayoutSelector selector_; // the layout status and the layout library
    RemapTable remapTable_;
    KeyboardWindow keyboardView_;
    KeyEventQueue keyEvents_;
    RawInputReader rawInput_; // decoding state: current device and the pending ignore code
    ToggleKeyMonitorThread lockMonitor_;

    // Adapters between the core logic and the controls above.
    KeyboardViewRedraw viewRedraw_;
    IndicatorLamp numLamp_;
    IndicatorLamp scrollLamp_;
    IndicatorLamp capsLamp_;
    LockIndicators lockIndicators_;
    ColorStaticLabel statusLabel_;
    ColorStaticLabel logStatusLabel_;
    KeyTestEngine engine_;
    std::unique_ptr<WinLayoutPage> layoutPage_;
    std::unique_ptr<WinLogSavePage> logSavePage_;
    WinLogFiles logFiles_;
    OwnedFont heldKeysFont_;
    OwnedFont logFont_;
    OwnedFont sequenceFont_;
    ErrorBox errorBox_ = nullptr;

    HWND layoutList_ = nullptr;
    HWND lastKeyFields_[6] = {};
    HWND languageField_ = nullptr;
    HWND overwriteBox_ = nullptr;
    int minimumGroupWidth_ = 0;
    int minimumGroupHeight_ = 0;
    HHOOK shellHook_ = nullptr;
    bool logWritePosted_ = false;
    bool inputLooked_ = false;
    std::uint32_t lastInputLook_ = 0;

    static CKeyboardDlg* hookPage_;
};
