#pragma once
// The main window. For now a frame around the program's start and close: it registers for raw
// keyboard input, decodes it and traces the make and break messages it posts itself. The pages,
// caption buttons and layout reflow take its place later.
#include "input/raw_input_win.h"
#include "shell/message_loop.h"
#include "shell/window_base.h"

class CMainDlg : public ModelessDialog, public CIdleHandler {
public:
    CMainDlg();

    // Creates the main window from its template as a modeless dialog without owner; null on
    // failure.
    HWND Create(UINT templateId);

    BOOL OnIdle() override { return FALSE; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnInitDialog();
    void OnKeyMake(WPARAM index);
    void OnKeyBreak(WPARAM index);
    // The close command: destroys the window and ends the message loop with the command's id.
    void CloseDialog(int id);

    KeyEventQueue keyEvents_;
    RawInputReader rawInput_;
};
